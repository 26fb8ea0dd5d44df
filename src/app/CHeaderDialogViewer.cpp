#include "CHeaderDialogViewer.h"

#include "dialogs/CHeaderInfoDlg.h"

void CHeaderDialogViewer::Show(const BnmHeaderFigures& figures) {
    CHeaderInfoDlg::ShowFigures(figures);
}
