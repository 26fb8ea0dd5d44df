#pragma once

#include <QString>
#include <QtGlobal>

class CDialog;
class QWidget;

// One transfer between a dialog's members and its controls, in one direction.
// Loading puts the members into the controls; saving reads the controls into
// the members and validates each field right after reading it. The first
// failure ends the transfer: its message has been shown, the focus is on the
// control it concerns, and no later field is read or checked.
class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, bool bSaveAndValidate);

    // The control with this id, remembered as the one a following check
    // refers to; nullptr when the dialog has no such control.
    QWidget* PrepareCtrl(int nIDC);
    // Ends the transfer as failed; the message must already have been shown.
    // Focuses the last prepared control and selects an edit box's text.
    void Fail();
    bool HasFailed() const { return m_bFailed; }
    // The control of the last exchange, which a check refers to.
    QWidget* GetLastControl() const { return m_pLastControl; }

    const bool m_bSaveAndValidate;
    CDialog* const m_pDlgWnd;

private:
    QWidget* m_pLastControl = nullptr;
    bool m_bFailed = false;
};

// Exchange functions, in the framework's names. A call after a failure does
// nothing. A control id the dialog does not have is a programming error: it
// asserts in debug builds and is skipped otherwise.

// Text of any control (label, edit box, button, group box, list selection).
void DDX_Text(CDataExchange* pDX, int nIDC, QString& value);
// A signed decimal; saving refuses anything else ("Please enter an integer.").
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// An unsigned 32-bit decimal; saving refuses anything else ("Please enter an
// integer.") and numbers beyond 32 bits.
void DDX_Text(CDataExchange* pDX, int nIDC, quint32& value);
// Check box state: 0 unchecked, 1 checked; any other stored value shows as
// checked.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Selected list index, -1 for none; an index outside the list clears the
// selection.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);

// Checks of the value just exchanged; both bounds are allowed.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, quint32 value, quint32 minVal, quint32 maxVal);
// At most nChars characters. When loading, also limits what the user can type
// into the edit box of the last exchange.
void DDV_MaxChars(CDataExchange* pDX, const QString& value, int nChars);
