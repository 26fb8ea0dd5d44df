#pragma once

#include "framework/ui/CMDIChildWnd.h"

// The window around every list: a resource list or an event list of one
// bank. Its caption belongs to the view inside, so it never adds the
// document's title itself.
class CChildFrame : public CMDIChildWnd {
public:
    CChildFrame();
    ~CChildFrame() override;

    bool PreCreateWindow(CREATESTRUCT& cs) override;

    DECLARE_MESSAGE_MAP()
};
