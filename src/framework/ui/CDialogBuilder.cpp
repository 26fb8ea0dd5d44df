#include "CDialogBuilder.h"

#include "CEditInputRules.h"
#include "DialogTemplate.h"

#include "framework/core/CResourceText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace {

// Rounds like the platform's MulDiv, which dialog unit conversion uses.
int MulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

bool HasMnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (text.at(i + 1) != QLatin1Char('&')) {
                return true;
            }
            ++i;
        }
    }
    return false;
}

} // namespace

CDialogBuilder::CDialogBuilder(const QFont& font) {
    const QFontMetrics metrics(font);
    // The platform's average: the width of the alphabet in both cases over
    // 26, halved and rounded.
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_cxChar = (alphabet / 26 + 1) / 2;
    m_cyChar = metrics.height();
}

QFont CDialogBuilder::FontOf(const DialogTemplate& dialogTemplate) {
    QFont font(QString::fromLatin1(dialogTemplate.pszFontName), dialogTemplate.nPointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QRect CDialogBuilder::MapDialogRect(int x, int y, int cx, int cy) const {
    const int left = MulDiv(x, m_cxChar, 4);
    const int top = MulDiv(y, m_cyChar, 8);
    const int right = MulDiv(x + cx, m_cxChar, 4);
    const int bottom = MulDiv(y + cy, m_cyChar, 8);
    return {left, top, right - left, bottom - top};
}

QSize CDialogBuilder::MapDialogSize(int cx, int cy) const {
    return {MulDiv(cx, m_cxChar, 4), MulDiv(cy, m_cyChar, 8)};
}

QString CDialogBuilder::StripMnemonic(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        result.append(text.at(i));
    }
    return result;
}

std::vector<CDialogBuilder::Control> CDialogBuilder::Build(QDialog& dialog,
                                                           const DialogTemplate& dialogTemplate) {
    const QFont font = FontOf(dialogTemplate);
    dialog.setFont(font);
    dialog.setWindowTitle(CResourceText::Tr(dialogTemplate.pszTitle));
    // A modal frame with caption and system menu: no resizing, no help button.
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setSizeGripEnabled(false);

    const CDialogBuilder builder(font);
    dialog.setFixedSize(builder.MapDialogSize(dialogTemplate.cx, dialogTemplate.cy));

    std::vector<Control> controls;
    controls.reserve(dialogTemplate.controls.size());
    for (const DialogControl& control : dialogTemplate.controls) {
        controls.push_back({control.nId, builder.Create(dialog, control), &control});
    }

    QWidget* previousStop = nullptr;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const DialogControl& control = *controls[i].pTemplate;
        if ((control.nStyle & DialogControl::TabStop) != 0U) {
            if (previousStop != nullptr) {
                QWidget::setTabOrder(previousStop, controls[i].pWidget);
            }
            previousStop = controls[i].pWidget;
        }
        if (control.nClass != DialogControl::Static ||
            (control.nStyle & DialogControl::NoPrefix) != 0U) {
            continue;
        }
        // A label's mnemonic moves the focus to the next tab stop after it,
        // as the platform's dialog manager does.
        auto* label = static_cast<QLabel*>(controls[i].pWidget);
        if (!HasMnemonic(label->text())) {
            continue;
        }
        QWidget* buddy = nullptr;
        for (std::size_t j = i + 1; j < controls.size() && buddy == nullptr; ++j) {
            if ((controls[j].pTemplate->nStyle & DialogControl::TabStop) != 0U) {
                buddy = controls[j].pWidget;
            }
        }
        if (buddy != nullptr) {
            label->setBuddy(buddy);
        } else {
            label->setText(StripMnemonic(label->text()));
        }
    }
    WidenLabels(dialog, controls);
    return controls;
}

void CDialogBuilder::WidenLabels(const QDialog& dialog, const std::vector<Control>& controls) {
    for (const Control& control : controls) {
        auto* label = qobject_cast<QLabel*>(control.pWidget);
        if (label == nullptr || label->frameShape() != QFrame::NoFrame || label->text().isEmpty()) {
            continue;
        }
        const QString shown =
            label->buddy() != nullptr ? StripMnemonic(label->text()) : label->text();
        const int needed = QFontMetrics(label->font()).horizontalAdvance(shown) + 1;
        const QRect rect = label->geometry();
        if (needed <= rect.width()) {
            continue;
        }
        int limit = dialog.width() - 1;
        for (const Control& other : controls) {
            const QRect r = other.pWidget->geometry();
            if (other.pWidget == label || r.bottom() < rect.top() || r.top() > rect.bottom()) {
                continue;
            }
            if (other.pTemplate->nClass == DialogControl::GroupBox && r.contains(rect)) {
                // Stay clear of the frame of the group box around the label.
                limit = qMin(limit, r.right() - 3);
            } else if (r.left() > rect.left()) {
                limit = qMin(limit, r.left() - 2);
            }
        }
        const int width = qMin(needed, limit - rect.left() + 1);
        if (width > rect.width()) {
            label->setGeometry(rect.left(), rect.top(), width, rect.height());
        }
    }
}

namespace {

QLabel* makeLabel(QDialog& dialog, const DialogControl& control, const QString& text) {
    auto* label = new QLabel(&dialog);
    // Labels show record data (file names); it must never be taken for
    // markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if ((control.nStyle & DialogControl::Sunken) != 0U) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    }
    return label;
}

QPushButton* makeButton(QDialog& dialog, const DialogControl& control, const QString& text) {
    auto* button = new QPushButton(text, &dialog);
    // A focused button takes Enter, the template's default button otherwise,
    // as in the platform's dialogs.
    button->setAutoDefault(true);
    button->setDefault((control.nStyle & DialogControl::DefaultButton) != 0U);
    return button;
}

QCheckBox* makeCheckBox(QDialog& dialog, const DialogControl& control, const QString& text) {
    auto* box = new QCheckBox(text, &dialog);
    if ((control.nStyle & DialogControl::AutoCheck) == 0U) {
        // A plain check box changes only when the program sets it.
        QObject::connect(box, &QCheckBox::clicked, box,
                         [box](bool checked) { box->setChecked(!checked); });
    }
    return box;
}

QLineEdit* makeEdit(QDialog& dialog, const DialogControl& control, const QString& text) {
    auto* edit = new QLineEdit(&dialog);
    const bool readOnly = (control.nStyle & DialogControl::ReadOnly) != 0U;
    edit->setReadOnly(readOnly);
    if (readOnly) {
        // A field the user cannot change is filled like the dialog behind
        // it, as the platform draws one, so nobody clicks in to type; its
        // text can still be selected and copied.
        QPalette palette = edit->palette();
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setBrush(group, QPalette::Base, palette.brush(group, QPalette::Window));
        }
        edit->setPalette(palette);
    }
    edit->setFrame((control.nStyle & DialogControl::Border) != 0U);
    if ((control.nStyle & DialogControl::Number) != 0U) {
        CEditInputRules::Of(edit)->SetDigitsOnly(true);
    }
    edit->setText(text);
    return edit;
}

// The template's height is that of the dropped list; the box itself is as
// tall as the font needs, and rect becomes that tall.
QComboBox* makeComboBox(QDialog& dialog, const DialogControl& control, QRect& rect) {
    auto* combo = new QComboBox(&dialog);
    combo->setEditable((control.nStyle & DialogControl::DropDownList) == 0U);
    const int boxHeight = combo->sizeHint().height();
    const int itemHeight = QFontMetrics(dialog.font()).height() + 2;
    combo->setMaxVisibleItems(qMax(1, (rect.height() - boxHeight) / itemHeight));
    rect.setHeight(boxHeight);
    return combo;
}

} // namespace

QWidget* CDialogBuilder::Create(QDialog& dialog, const DialogControl& control) const {
    const QString text = CResourceText::Tr(control.pszText);
    const bool tabStop = (control.nStyle & DialogControl::TabStop) != 0U;
    QRect rect = MapDialogRect(control.x, control.y, control.cx, control.cy);
    QWidget* widget = nullptr;

    switch (control.nClass) {
    case DialogControl::Static:
        widget = makeLabel(dialog, control, text);
        break;
    case DialogControl::GroupBox:
        widget = new QGroupBox(text, &dialog);
        break;
    case DialogControl::PushButton:
        widget = makeButton(dialog, control, text);
        break;
    case DialogControl::CheckBox:
        widget = makeCheckBox(dialog, control, text);
        break;
    case DialogControl::Edit:
        widget = makeEdit(dialog, control, text);
        break;
    case DialogControl::ComboBox:
        widget = makeComboBox(dialog, control, rect);
        break;
    }

    widget->setGeometry(rect);
    const bool canFocus =
        control.nClass != DialogControl::Static && control.nClass != DialogControl::GroupBox;
    widget->setFocusPolicy(!canFocus ? Qt::NoFocus : tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    if (control.nClass == DialogControl::GroupBox) {
        // Controls inside a group box must stay reachable whatever the
        // template order.
        widget->lower();
    }
    return widget;
}
