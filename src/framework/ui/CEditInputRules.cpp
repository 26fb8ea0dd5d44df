#include "CEditInputRules.h"

#include <QLineEdit>

CEditInputRules::CEditInputRules(QLineEdit* edit)
    : QValidator(edit), m_pEdit(edit), m_strBefore(edit->text()) {
    // Qt validates a change after it has been made, so the text before it is
    // kept here; textChanged comes after the validation.
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_strBefore = text; });
}

CEditInputRules* CEditInputRules::Of(QLineEdit* edit) {
    auto* rules = edit->findChild<CEditInputRules*>(QString(), Qt::FindDirectChildrenOnly);
    if (rules == nullptr) {
        rules = new CEditInputRules(edit);
        edit->setValidator(rules);
    }
    return rules;
}

void CEditInputRules::SetTextFromProgram(const QString& text) {
    m_bProgramText = true;
    m_pEdit->setText(text);
    m_bProgramText = false;
}

QValidator::State CEditInputRules::validate(QString& input, int& /*pos*/) const {
    if (m_bProgramText) {
        return Acceptable;
    }
    if (m_bDigitsOnly) {
        // Only what was inserted is checked, so a sign the program showed
        // does not lock the box.
        qsizetype prefix = 0;
        const qsizetype common = qMin(input.size(), m_strBefore.size());
        while (prefix < common && input.at(prefix) == m_strBefore.at(prefix)) {
            ++prefix;
        }
        qsizetype suffix = 0;
        while (suffix < common - prefix && input.at(input.size() - 1 - suffix) ==
                                               m_strBefore.at(m_strBefore.size() - 1 - suffix)) {
            ++suffix;
        }
        for (qsizetype i = prefix; i < input.size() - suffix; ++i) {
            const QChar c = input.at(i);
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                return Invalid;
            }
        }
    }
    // Text over the limit may still shrink, as it does when the user deletes
    // from a name the program showed.
    if (m_nLimit > 0 && input.size() > m_nLimit && input.size() > m_strBefore.size()) {
        return Invalid;
    }
    return Acceptable;
}
