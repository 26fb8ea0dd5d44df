#include "CDialog.h"

#include "CDataExchange.h"
#include "CDialogBuilder.h"
#include "CEditInputRules.h"
#include "CModalRunner.h"
#include "DialogTemplate.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/core/CIntegerText.h"
#include "framework/core/CResourceText.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <limits>
#include <optional>

CDialog::CDialog(int nIDTemplate, QWidget* pParentWnd)
    : QDialog(pParentWnd), m_pTemplate(DialogTemplate::Find(nIDTemplate)) {}

CDialog::CDialog(const DialogTemplate& dialogTemplate, QWidget* pParentWnd)
    : QDialog(pParentWnd), m_pTemplate(&dialogTemplate) {}

CDialog::~CDialog() {
    // The controls die in QWidget's destructor, when this object is no
    // longer a CDialog; none of their last signals may reach it.
    for (const CDialogBuilder::Control& control : m_controls) {
        QObject::disconnect(control.pWidget, nullptr, this, nullptr);
    }
}

void CDialog::CreateControls() {
    if (m_bCreated || m_pTemplate == nullptr) {
        return;
    }
    m_bCreated = true;
    m_controls = CDialogBuilder::Build(*this, *m_pTemplate);
    for (const CDialogBuilder::Control& built : m_controls) {
        const int id = built.nId;
        if (id == -1) {
            continue;
        }
        m_byId.insert(id, built.pWidget);
        if (auto* button = qobject_cast<QAbstractButton*>(built.pWidget)) {
            connect(button, &QAbstractButton::clicked, this,
                    [this, id] { OnCommand(id, BN_CLICKED); });
        } else if (auto* combo = qobject_cast<QComboBox*>(built.pWidget)) {
            // Only a choice of the user is a selection change; the program's
            // own selection sends none.
            connect(combo, &QComboBox::activated, this,
                    [this, id] { OnCommand(id, CBN_SELCHANGE); });
        } else if (auto* edit = qobject_cast<QLineEdit*>(built.pWidget)) {
            connect(edit, &QLineEdit::textChanged, this, [this, id] { OnCommand(id, EN_CHANGE); });
        }
    }
}

int CDialog::DoModal() {
    CreateControls();
    if (m_pTemplate == nullptr) {
        return -1;
    }
    m_bEnded = false;
    m_nModalResult = -1;
    const bool focusFirst = OnInitDialog();
    if (m_bEnded) {
        return m_nModalResult;
    }
    if (focusFirst) {
        SetFocusToFirstTabStop();
    }
    const int result = CSeam<CModalRunner>::Current().RunModal(*this);
    if (!m_bEnded) {
        m_bEnded = true;
        m_nModalResult = result;
    }
    hide();
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    m_bEnded = true;
    m_nModalResult = nResult;
    if (isVisible()) {
        QDialog::done(nResult);
    }
}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.HasFailed();
}

bool CDialog::OnInitDialog() {
    ExecuteDlgInit();
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

void CDialog::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

std::span<const CDialog::MessageEntry> CDialog::GetMessageMap() const {
    return {};
}

void CDialog::ExecuteDlgInit() {
    if (m_pTemplate == nullptr) {
        return;
    }
    // A dialog run again keeps its controls, so the lists start over.
    for (const DialogInitItem& item : m_pTemplate->initData) {
        if (auto* combo = qobject_cast<QComboBox*>(GetDlgItem(item.nControlId))) {
            combo->clear();
        }
    }
    for (const DialogInitItem& item : m_pTemplate->initData) {
        if (auto* combo = qobject_cast<QComboBox*>(GetDlgItem(item.nControlId))) {
            combo->addItem(CResourceText::Tr(item.pszText));
        }
    }
    for (const CDialogBuilder::Control& control : m_controls) {
        auto* combo = qobject_cast<QComboBox*>(control.pWidget);
        if (combo != nullptr && (control.pTemplate->nStyle & DialogControl::Sort) != 0U) {
            combo->model()->sort(0);
        }
    }
}

void CDialog::OnCommand(int nID, int nCode) {
    for (const MessageEntry& entry : GetMessageMap()) {
        if (entry.nID == nID && entry.nCode == nCode) {
            (this->*entry.pfn)();
            return;
        }
    }
    if (nCode != BN_CLICKED) {
        return;
    }
    if (nID == IDOK) {
        OnOK();
    } else if (nID == IDCANCEL) {
        OnCancel();
    }
}

void CDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        const auto buttons = findChildren<QPushButton*>();
        const bool hasDefault = std::any_of(buttons.begin(), buttons.end(), [](QPushButton* b) {
            return b->isDefault() && b->isVisible();
        });
        if (!hasDefault) {
            // Without a default button Enter still means OK, as in the
            // platform's dialogs.
            event->accept();
            OnCommand(IDOK, BN_CLICKED);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void CDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The style draws the focus frame of check boxes and lists only once a
    // key has moved the focus, and showing a window forgets that; whoever
    // opens a dialog types into it next, so the focus is drawn from the
    // start.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void CDialog::accept() {
    OnCommand(IDOK, BN_CLICKED);
}

void CDialog::reject() {
    OnCommand(IDCANCEL, BN_CLICKED);
}

void CDialog::SetFocusToFirstTabStop() {
    for (const CDialogBuilder::Control& control : m_controls) {
        if ((control.pTemplate->nStyle & DialogControl::TabStop) != 0U &&
            control.pWidget->isEnabled()) {
            control.pWidget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

QWidget* CDialog::GetDlgItem(int nID) const {
    return m_byId.value(nID, nullptr);
}

QString CDialog::GetDlgItemText(int nID) const {
    const QWidget* control = GetDlgItem(nID);
    return control != nullptr ? GetControlText(control) : QString();
}

void CDialog::SetDlgItemText(int nID, const QString& text) {
    if (QWidget* control = GetDlgItem(nID)) {
        SetControlText(control, text);
    }
}

int CDialog::GetDlgItemInt(int nID, bool* pTranslated, bool bSigned) const {
    if (pTranslated != nullptr) {
        *pTranslated = false;
    }
    const CIntegerText::Scan scan = CIntegerText::Read(GetDlgItemText(nID));
    if (scan.negative && !bSigned) {
        return 0;
    }
    const std::optional<qint64> value =
        bSigned ? scan.InRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max())
                : scan.InRange(0, std::numeric_limits<quint32>::max());
    if (!value) {
        return 0;
    }
    if (pTranslated != nullptr) {
        *pTranslated = true;
    }
    return static_cast<int>(static_cast<quint32>(*value));
}

void CDialog::SetDlgItemInt(int nID, int nValue, bool bSigned) {
    SetDlgItemText(nID, bSigned ? QString::asprintf("%d", nValue)
                                : QString::asprintf("%u", static_cast<unsigned>(nValue)));
}

QRect CDialog::MapDialogRect(int x, int y, int cx, int cy) const {
    return CDialogBuilder(font()).MapDialogRect(x, y, cx, cy);
}

QString CDialog::GetControlText(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
        return edit->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(control)) {
        return group->title();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
        return combo->currentText();
    }
    return QString();
}

void CDialog::SetControlText(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        if (edit->validator() != nullptr) {
            CEditInputRules::Of(edit)->SetTextFromProgram(text);
        } else {
            edit->setText(text);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        // A list without an edit field keeps its selection, as the platform's
        // does.
        if (combo->isEditable()) {
            combo->setEditText(text);
        }
    }
}
