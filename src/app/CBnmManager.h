#pragma once

#include "framework/ui/CDocManager.h"

class CFileDialog;

// The document manager of the editor: the framework's, with bank Open and
// Save As dialogs that start in the current game's sound bank folder.
class CBnmManager : public CDocManager {
public:
    CBnmManager();
    ~CBnmManager() override;

    bool DoPromptFileName(QString& fileName, int nIDSTitle, unsigned lFlags, bool bOpenFileDialog,
                          CDocTemplate* pTemplate) override;

    // Adds pTemplate's filter to filter; with pDefaultExt, also makes its
    // extension the dialog's default and its filter the chosen one. Returns
    // the number of filters added.
    static int AppendTemplateFilter(QString& filter, CFileDialog& dlg, CDocTemplate* pTemplate,
                                    QString* pDefaultExt, int nCustomFilters);
};
