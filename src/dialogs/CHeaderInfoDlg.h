#pragma once

#include "framework/ui/CDialog.h"
#include "res/resource.h"

#include <QString>

struct BnmHeaderFigures;

// "Header Info": the layout figures of an open bank, read only. Enter,
// Escape and the close box end it; nothing is written either way.
class CHeaderInfoDlg : public CDialog {
public:
    enum { IDD = IDD_HEADER_INFO };

    explicit CHeaderInfoDlg(QWidget* pParentWnd = nullptr);
    ~CHeaderInfoDlg() override;

    // The Header command's viewer: shows figures in a dialog without parent
    // and ignores how it was closed.
    static void ShowFigures(const BnmHeaderFigures& figures);

    QString m_strSampleDataOffset;
    QString m_strResourceTableOffset;
    QString m_strFileLength;
    QString m_strResourceCount;
    QString m_strEventTableOffset;
    QString m_strEventCount;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
