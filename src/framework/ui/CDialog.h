#pragma once

#include "CDialogBuilder.h"

#include <QDialog>
#include <QHash>
#include <QString>

#include <span>
#include <vector>

class CDataExchange;
struct DialogTemplate;

// Notification codes of controls, as a dialog's message map names them.
inline constexpr int BN_CLICKED = 0;
inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int EN_CHANGE = 0x0300;

// A modal dialog made from a dialog template, with the framework's life cycle:
// DoModal creates the controls, runs OnInitDialog (which may end the dialog
// before it is ever shown), then runs the dialog until EndDialog. The OK and
// Cancel buttons, Enter, Escape and the close box reach OnOK and OnCancel;
// other controls' notifications reach the handlers of the message map.
// Members and controls meet in DoDataExchange.
class CDialog : public QDialog {
public:
    // One entry of a message map: a control's notification and its handler.
    struct MessageEntry {
        int nID;
        int nCode;
        void (CDialog::*pfn)();
    };
    // An entry for a handler of a derived dialog.
    template <class T> static MessageEntry Notify(int nID, int nCode, void (T::*pfn)()) {
        return {nID, nCode, static_cast<void (CDialog::*)()>(pfn)};
    }

    // The dialog of template nIDTemplate from the resource tables.
    explicit CDialog(int nIDTemplate, QWidget* pParentWnd = nullptr);
    // A dialog of a template the caller keeps alive as long as the dialog.
    explicit CDialog(const DialogTemplate& dialogTemplate, QWidget* pParentWnd = nullptr);
    ~CDialog() override;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog through the current modal runner and returns the result
    // it was ended with; -1 when the template does not exist.
    virtual int DoModal();
    // Ends the dialog with nResult: at once when it is showing, otherwise as
    // soon as OnInitDialog returns, without showing it.
    void EndDialog(int nResult);
    // Loads the members into the controls, or saves and validates the
    // controls into the members; false at the first failed check.
    bool UpdateData(bool bSaveAndValidate = true);

    // Creates the controls from the template unless that was done already.
    void CreateControls();
    // The control with this id (nullptr when there is none).
    QWidget* GetDlgItem(int nID) const;
    QString GetDlgItemText(int nID) const;
    void SetDlgItemText(int nID, const QString& text);
    // The control's text read as a decimal the way the platform reads it:
    // blanks, an optional sign (when bSigned), digits up to the first other
    // character. 0 with *pTranslated false when there are no digits or the
    // number does not fit.
    int GetDlgItemInt(int nID, bool* pTranslated = nullptr, bool bSigned = true) const;
    void SetDlgItemInt(int nID, int nValue, bool bSigned = true);
    // Dialog units to pixels with this dialog's font.
    QRect MapDialogRect(int x, int y, int cx, int cy) const;
    // nullptr when the template id was not found.
    const DialogTemplate* GetTemplate() const { return m_pTemplate; }

    // What a control shows as its text, and setting it, for every control
    // class a template can hold. Text set into an edit box is never cut by the
    // box's typing limit.
    static QString GetControlText(const QWidget* control);
    static void SetControlText(QWidget* control, const QString& text);

protected:
    // Adds the template's list items, then loads the members into the
    // controls. Returning true puts the focus on the first tab stop.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    // Saves and validates; ends the dialog with IDOK when all checks passed.
    virtual void OnOK();
    virtual void OnCancel();
    virtual std::span<const MessageEntry> GetMessageMap() const;

    // Fills the lists from the template's initialisation data.
    void ExecuteDlgInit();
    // Delivers a control's notification: the message map first, then OK and
    // Cancel.
    void OnCommand(int nID, int nCode);

    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void accept() override;
    void reject() override;

private:
    void SetFocusToFirstTabStop();

    const DialogTemplate* m_pTemplate;
    std::vector<CDialogBuilder::Control> m_controls;
    QHash<int, QWidget*> m_byId;
    bool m_bCreated = false;
    bool m_bEnded = false;
    int m_nModalResult = -1;
};
