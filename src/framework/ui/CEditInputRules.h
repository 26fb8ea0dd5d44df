#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

// What the user may type into an edit box: digits only, and no more than a
// number of characters. Both bind the user's typing, pasting and dropping, not
// text the program puts into the box: a program may show a longer name (the
// exchange then refuses it at OK) or a negative number. QLineEdit's own
// maximum length would cut the program's text, so it is not used.
class CEditInputRules final : public QValidator {
public:
    // The rules of edit, created and installed as its validator on first use.
    static CEditInputRules* Of(QLineEdit* edit);

    void SetDigitsOnly(bool bDigitsOnly) { m_bDigitsOnly = bDigitsOnly; }
    bool IsDigitsOnly() const { return m_bDigitsOnly; }
    // 0 lifts the limit.
    void SetLimit(int nChars) { m_nLimit = nChars; }
    int GetLimit() const { return m_nLimit; }

    // Puts text into the box unchecked.
    void SetTextFromProgram(const QString& text);

    State validate(QString& input, int& pos) const override;

private:
    explicit CEditInputRules(QLineEdit* edit);

    QLineEdit* m_pEdit;
    bool m_bDigitsOnly = false;
    int m_nLimit = 0;
    bool m_bProgramText = false;
    // The box's text before the change being validated.
    QString m_strBefore;
};
