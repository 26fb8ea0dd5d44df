#include "CFileDialog.h"

#include "CFilePicker.h"

#include <QCoreApplication>
#include <QFileInfo>

CFileDialog::CFileDialog(bool bOpenFileDialog, const QString& defExt, const QString& fileName,
                         unsigned flags, const QString& filter, QWidget* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd) {
    m_ofn.Flags = flags;
    m_ofn.strFilter = filter;
    m_ofn.strFile = fileName;
    m_ofn.strDefExt = defExt;
}

int CFileDialog::DoModal() {
    return CSeam<CFilePicker>::Current().Pick(*this);
}

QString CFileDialog::GetFileName() const {
    return QFileInfo(m_ofn.strFile).fileName();
}

QString CFileDialog::GetFileTitle() const {
    const QString name = GetFileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString CFileDialog::GetFileExt() const {
    const QString name = GetFileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.mid(dot + 1) : QString();
}

QString CFileDialog::AllFilesFilterName() {
    return QCoreApplication::translate("CFileDialog", "All Files (*.*)");
}

QStringList CFileDialog::NameFilters(const QString& filter) {
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString caption = parts.at(i).trimmed();
        const QString patterns = parts.at(i + 1).trimmed();
        if (caption.isEmpty() && patterns.isEmpty()) {
            break;
        }
        QStringList qtPatterns;
        for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            qtPatterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        // Qt takes the patterns from the last parentheses of the caption, so
        // a caption that shows its own patterns gives them up for ours.
        const QString shown = QLatin1Char('(') + patterns + QLatin1Char(')');
        if (caption.endsWith(shown)) {
            caption.chop(shown.size());
            caption = caption.trimmed();
        }
        result << caption + QStringLiteral(" (") + qtPatterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')');
    }
    return result;
}
