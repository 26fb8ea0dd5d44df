#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Flags of the file dialog, with the platform's values.
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x00000002U;
inline constexpr unsigned OFN_HIDEREADONLY = 0x00000004U;
inline constexpr unsigned OFN_PATHMUSTEXIST = 0x00000800U;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x00001000U;
inline constexpr unsigned OFN_EXPLORER = 0x00080000U;

// The framework's open and save file dialog. The caller sets it up through
// m_ofn, runs DoModal and reads the chosen path. What is shown is up to the
// current file picker: a QFileDialog in the editor, a script in tests.
class CFileDialog {
public:
    // The settings of one run, named after the platform's structure.
    struct OpenFileName {
        unsigned Flags = 0;
        // Pairs of "caption|patterns" ending in "||"; patterns separated by ';'.
        QString strFilter;
        // 1 for the first filter pair; 0 or out of range selects the first.
        int nFilterIndex = 1;
        // The file name to start with; after IDOK the chosen path.
        QString strFile;
        // A host folder; empty for the current folder.
        QString strInitialDir;
        QString strDefExt;
        // Empty for the standard "Open" or "Save As".
        QString strTitle;
    };

    explicit CFileDialog(bool bOpenFileDialog, const QString& defExt = QString(),
                         const QString& fileName = QString(),
                         unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         const QString& filter = QString(), QWidget* pParentWnd = nullptr);

    // IDOK with the chosen path in m_ofn.strFile, or IDCANCEL.
    int DoModal();

    bool IsOpenFileDialog() const { return m_bOpenFileDialog; }
    QWidget* GetParentWnd() const { return m_pParentWnd; }

    // The chosen path, its last component, that without extension, and the
    // extension without its dot.
    QString GetPathName() const { return m_ofn.strFile; }
    QString GetFileName() const;
    QString GetFileTitle() const;
    QString GetFileExt() const;

    // The caption of the framework's all-files filter.
    static QString AllFilesFilterName();
    // A filter in the framework's notation as Qt name filters: "*.*" becomes
    // "*" (every file, with or without an extension) and ';' a blank. A
    // caption that ends in its own patterns keeps its wording.
    static QStringList NameFilters(const QString& filter);

    OpenFileName m_ofn;

private:
    bool m_bOpenFileDialog;
    QWidget* m_pParentWnd;
};
