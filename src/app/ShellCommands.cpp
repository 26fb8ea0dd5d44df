#include "ShellCommands.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CShellOpener.h"

#include <QCoreApplication>
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
        reason = QCoreApplication::translate("ShellCommands", "file not found");
        break;
    case 5:
        reason = QCoreApplication::translate("ShellCommands", "access denied");
        break;
    case 26:
        reason = QCoreApplication::translate("ShellCommands", "sharing violation");
        break;
    case 31:
        reason = QCoreApplication::translate("ShellCommands",
                                             "no application associated with this extension");
        break;
    default:
        reason = QString::asprintf(
            qUtf8Printable(QCoreApplication::translate("ShellCommands", "error code %d")), code);
        break;
    }
    const QString text = errorText != nullptr
                             ? QString::fromUtf8(errorText)
                             : QCoreApplication::translate("ShellCommands", "Cannot execute");
    AfxMessageBox(QStringLiteral("%1 (%2)").arg(text, reason), MB_OK | MB_ICONHAND);
}
