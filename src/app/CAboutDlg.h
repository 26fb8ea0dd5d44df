#pragma once

#include "framework/ui/CDialog.h"

// "About Kantel": the product and version line and the legal line, read from
// the program's version record each time the box opens.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

protected:
    // Fills the two lines; ends the box with IDABORT, unseen, when the version
    // record cannot be read.
    bool OnInitDialog() override;
};
