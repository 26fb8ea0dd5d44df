#include "CAboutDlg.h"

#include "CVersionInfo.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/ui/IconResource.h"
#include "res/AboutBoxTemplate.h"
#include "res/resource.h"

#include <QCoreApplication>
#include <QIcon>
#include <QLabel>

CAboutDlg::CAboutDlg() : CDialog(AboutBoxTemplate()) {}

CAboutDlg::~CAboutDlg() = default;

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CVersionInfo versionInfo;
    if (!versionInfo.Load()) {
        AfxMessageBox(QCoreApplication::translate("CAboutDlg", "Error reading version resource"),
                      MB_ICONHAND);
        EndDialog(IDABORT);
        return false;
    }
    SetDlgItemText(IDC_ABOUT_VERSION,
                   QStringLiteral("%1 Version %2 (Feb  8 2000)")
                       .arg(versionInfo.GetProductName(), versionInfo.GetFileVersion()));
    SetDlgItemText(IDC_ABOUT_LEGAL, QStringLiteral("%1 %2").arg(versionInfo.GetLegalCopyright(),
                                                                versionInfo.GetCompanyName()));
    if (const IconResource* icon = IconResource::Find(IDR_MAINFRAME)) {
        const QIcon image = icon->Load();
        const QRect rect =
            MapDialogRect(AboutBoxIcon::x, AboutBoxIcon::y, AboutBoxIcon::cx, AboutBoxIcon::cy);
        auto* label = new QLabel(this);
        const int side = std::min(rect.width(), rect.height());
        label->setPixmap(image.pixmap(side, side));
        label->setGeometry(rect);
        label->setAlignment(Qt::AlignCenter);
    }
    return true;
}
