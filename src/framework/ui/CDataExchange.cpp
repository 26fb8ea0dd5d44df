#include "CDataExchange.h"

#include "CDialog.h"
#include "CEditInputRules.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/core/CIntegerText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

#include <limits>
#include <optional>

namespace {

// The framework's validation messages.
void ReportInvalid(const QString& text) {
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

// A decimal integer with optional blanks around it and an optional sign;
// false for anything else, and for values outside int.
bool ParseInt(const QString& text, int& value) {
    const QString trimmed = text.trimmed();
    const CIntegerText::Scan scan = CIntegerText::Read(trimmed);
    const std::optional<qint64> number =
        scan.InRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (scan.end != trimmed.size() || !number) {
        return false;
    }
    value = static_cast<int>(*number);
    return true;
}

void ReportOutOfRange(quint32 minVal, quint32 maxVal) {
    ReportInvalid(
        QString::asprintf(qUtf8Printable(QCoreApplication::translate(
                              "CDataExchange", "Please enter an integer between %u and %u.")),
                          static_cast<unsigned>(minVal), static_cast<unsigned>(maxVal)));
}

} // namespace

CDataExchange::CDataExchange(CDialog* pDlgWnd, bool bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

QWidget* CDataExchange::PrepareCtrl(int nIDC) {
    QWidget* control = m_pDlgWnd->GetDlgItem(nIDC);
    Q_ASSERT_X(control != nullptr, "CDataExchange", "no control with this id");
    m_pLastControl = control;
    return control;
}

void CDataExchange::Fail() {
    m_bFailed = true;
    if (m_pLastControl == nullptr) {
        return;
    }
    m_pLastControl->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(m_pLastControl)) {
        edit->selectAll();
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, QString& value) {
    if (pDX->HasFailed()) {
        return;
    }
    QWidget* control = pDX->PrepareCtrl(nIDC);
    if (control == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = CDialog::GetControlText(control);
    } else if (CDialog::GetControlText(control) != value) {
        // An unchanged text is not set again, so it sends no change
        // notification.
        CDialog::SetControlText(control, value);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->HasFailed()) {
        return;
    }
    QWidget* control = pDX->PrepareCtrl(nIDC);
    if (control == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        int parsed = 0;
        if (!ParseInt(CDialog::GetControlText(control), parsed)) {
            ReportInvalid(QCoreApplication::translate("CDataExchange", "Please enter an integer."));
            pDX->Fail();
            return;
        }
        value = parsed;
    } else {
        const QString text = QString::asprintf("%d", value);
        if (CDialog::GetControlText(control) != text) {
            CDialog::SetControlText(control, text);
        }
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, quint32& value) {
    if (pDX->HasFailed()) {
        return;
    }
    QWidget* control = pDX->PrepareCtrl(nIDC);
    if (control == nullptr) {
        return;
    }
    if (!pDX->m_bSaveAndValidate) {
        const QString text = QString::asprintf("%u", static_cast<unsigned>(value));
        if (CDialog::GetControlText(control) != text) {
            CDialog::SetControlText(control, text);
        }
        return;
    }
    const QString trimmed = CDialog::GetControlText(control).trimmed();
    const CIntegerText::Scan scan = CIntegerText::Read(trimmed);
    if (scan.end != trimmed.size() || scan.digits == 0) {
        ReportInvalid(QCoreApplication::translate("CDataExchange", "Please enter an integer."));
        pDX->Fail();
        return;
    }
    const std::optional<qint64> number = scan.InRange(0, std::numeric_limits<quint32>::max());
    if (!number) {
        // A number, only too large or negative: say which numbers fit.
        ReportOutOfRange(0, std::numeric_limits<quint32>::max());
        pDX->Fail();
        return;
    }
    value = static_cast<quint32>(*number);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->HasFailed()) {
        return;
    }
    auto* box = qobject_cast<QCheckBox*>(pDX->PrepareCtrl(nIDC));
    Q_ASSERT_X(box != nullptr, "DDX_Check", "not a check box");
    if (box == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = box->isChecked() ? 1 : 0;
    } else {
        box->setChecked(value != 0);
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    if (pDX->HasFailed()) {
        return;
    }
    auto* combo = qobject_cast<QComboBox*>(pDX->PrepareCtrl(nIDC));
    Q_ASSERT_X(combo != nullptr, "DDX_CBIndex", "not a combo box");
    if (combo == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        index = combo->currentIndex();
    } else {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (pDX->HasFailed() || !pDX->m_bSaveAndValidate) {
        return;
    }
    if (value < minVal || value > maxVal) {
        ReportInvalid(
            QString::asprintf(qUtf8Printable(QCoreApplication::translate(
                                  "CDataExchange", "Please enter an integer between %d and %d.")),
                              minVal, maxVal));
        pDX->Fail();
    }
}

void DDV_MinMaxUInt(CDataExchange* pDX, quint32 value, quint32 minVal, quint32 maxVal) {
    if (pDX->HasFailed() || !pDX->m_bSaveAndValidate) {
        return;
    }
    if (value < minVal || value > maxVal) {
        ReportOutOfRange(minVal, maxVal);
        pDX->Fail();
    }
}

void DDV_MaxChars(CDataExchange* pDX, const QString& value, int nChars) {
    if (pDX->HasFailed()) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        if (value.size() > nChars) {
            ReportInvalid(
                QString::asprintf(qUtf8Printable(QCoreApplication::translate(
                                      "CDataExchange", "Please enter no more than %d characters.")),
                                  nChars));
            pDX->Fail();
        }
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(pDX->GetLastControl())) {
        CEditInputRules::Of(edit)->SetLimit(nChars);
    }
}
