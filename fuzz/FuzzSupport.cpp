#include "FuzzSupport.h"

#include "framework/core/AfxMessageBox.h"

#include <QDir>
#include <QFile>

namespace {

class SilentSink final : public CPromptSink {
public:
    int Show(const QString& /*text*/, unsigned /*type*/) override { return IDOK; }
};

} // namespace

FuzzSupport& FuzzSupport::Instance() {
    static FuzzSupport support;
    return support;
}

FuzzSupport::FuzzSupport() : m_folder(m_root.filePath(QStringLiteral("bank"))) {
    static SilentSink sink;
    static CSeam<CPromptSink>::Guard guard(&sink);
    QDir().mkpath(m_folder);
}

void FuzzSupport::Clear() {
    QDir(m_folder).removeRecursively();
    QDir().mkpath(m_folder);
}

QString FuzzSupport::WriteFresh(const QString& name, const QByteArray& bytes) {
    Clear();
    const QString path = QDir(m_folder).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
    return path;
}
