#include "CFileDialog.h"

#include "CFilePicker.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

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
        // The dialog ignores case (see CQtFilePicker), so "*.bnm;*.BNM" is
        // one pattern.
        QStringList qtPatterns;
        for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            const QString qtPattern = p == QLatin1String("*.*") ? QStringLiteral("*") : p;
            if (!qtPatterns.contains(qtPattern, Qt::CaseInsensitive)) {
                qtPatterns << qtPattern;
            }
        }
        // Qt takes the patterns from the last parentheses of the caption. A
        // caption that shows the same patterns is used as it is; one that
        // shows others gives them up for ours, so no list appears twice.
        const qsizetype open = caption.lastIndexOf(QLatin1Char('('));
        if (caption.endsWith(QLatin1Char(')')) && open >= 0) {
            const QString inside = caption.mid(open + 1, caption.size() - open - 2);
            if (inside.contains(QLatin1Char('*'))) {
                QStringList shown;
                for (const QString& pattern : inside.split(
                         QRegularExpression(QStringLiteral("[ ;]+")), Qt::SkipEmptyParts)) {
                    const QString qtPattern =
                        pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
                    if (!shown.contains(qtPattern, Qt::CaseInsensitive)) {
                        shown << qtPattern;
                    }
                }
                const auto folded = [](QStringList list) {
                    for (QString& item : list) {
                        item = item.toCaseFolded();
                    }
                    list.sort();
                    return list;
                };
                if (folded(shown) == folded(qtPatterns) && inside == shown.join(QLatin1Char(' '))) {
                    result << caption;
                    continue;
                }
                caption = caption.left(open).trimmed();
            }
        }
        result << caption + QStringLiteral(" (") + qtPatterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')');
    }
    return result;
}
