#include "CBnmManager.h"

#include "CKantelApp.h"
#include "CWinePrefix.h"

#include "framework/ui/CDocTemplate.h"
#include "framework/ui/CFileDialog.h"
#include "framework/ui/CWinApp.h"
#include "framework/ui/StringTable.h"
#include "res/resource.h"

#include <QCoreApplication>

CBnmManager::CBnmManager() = default;

CBnmManager::~CBnmManager() = default;

int CBnmManager::AppendTemplateFilter(QString& filter, CFileDialog& dlg, CDocTemplate* pTemplate,
                                      QString* pDefaultExt, int nCustomFilters) {
    QString extension;
    QString name;
    if (pTemplate == nullptr || !pTemplate->GetDocString(extension, CDocTemplate::filterExt) ||
        extension.isEmpty() || !pTemplate->GetDocString(name, CDocTemplate::filterName) ||
        name.isEmpty()) {
        return 0;
    }
    if (pDefaultExt != nullptr) {
        *pDefaultExt = extension.mid(1);
        dlg.m_ofn.strDefExt = *pDefaultExt;
        dlg.m_ofn.nFilterIndex = nCustomFilters + 1;
    }
    filter += name + QLatin1Char('|') + QLatin1Char('*') + extension + QLatin1Char('|');
    return 1;
}

bool CBnmManager::DoPromptFileName(QString& fileName, int nIDSTitle, unsigned lFlags,
                                   bool bOpenFileDialog, CDocTemplate* pTemplate) {
    const auto* pApp = dynamic_cast<const CKantelApp*>(AfxGetApp());
    const QString defaultPath = pApp != nullptr ? pApp->GetDefaultPath() : QString();
    CFileDialog dlg(bOpenFileDialog, QString(), QString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    QString(), nullptr);
    const QString title = StringTable::Load(nIDSTitle);
    dlg.m_ofn.Flags |= lFlags;

    QString filter;
    QString defaultExt;
    int nCustomFilters = 0;
    if (pTemplate != nullptr) {
        nCustomFilters += AppendTemplateFilter(filter, dlg, pTemplate, &defaultExt, nCustomFilters);
    } else {
        filter += QCoreApplication::translate("CBnmManager", "Kantel Files (*.bnm)|*.bnm|");
        ++nCustomFilters;
    }
    filter += StringTable::Load(AFX_IDS_ALLFILTER) + QStringLiteral("|*.*||");
    ++nCustomFilters;

    dlg.m_ofn.strFilter = filter;
    dlg.m_ofn.nFilterIndex = 1;
    // The game's folder is in Windows form, as the ini file gives it; only
    // here does it become a folder of this machine.
    dlg.m_ofn.strInitialDir = CWinePrefix::ToHostPath(defaultPath);
    dlg.m_ofn.strTitle = title;
    dlg.m_ofn.strFile = fileName;
    const bool ok = dlg.DoModal() == IDOK;
    if (ok) {
        fileName = dlg.GetPathName();
    }
    return ok;
}
