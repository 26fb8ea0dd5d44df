#include "ShellCommands.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CShellOpener.h"

#include <QString>

void OpenWithShell(const char* name, const char* errorText) {
    const int result = CSeam<IShellOpener>::Current().Open(QString::fromUtf8(name));
    if (result <= 32) {
        ReportShellError(result, errorText);
    }
}

void ReportShellError(int code, const char* errorText) {
    QString reason;
    switch (code) {
    case 2:
    case 3:
        reason = QStringLiteral("file not found");
        break;
    case 5:
        reason = QStringLiteral("access denied");
        break;
    case 26:
        reason = QStringLiteral("sharing violation");
        break;
    case 31:
        reason = QStringLiteral("no application associated with this extension");
        break;
    default:
        reason = QString::asprintf("error code %d", code);
        break;
    }
    const QString text =
        errorText != nullptr ? QString::fromUtf8(errorText) : QStringLiteral("Cannot execute");
    AfxMessageBox(QStringLiteral("%1 (%2)").arg(text, reason), MB_OK | MB_ICONHAND);
}
