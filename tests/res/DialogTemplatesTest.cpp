#include "BuiltControls.h"
#include "DialogDriver.h"
#include "QtPrinters.h"

#include "framework/ui/CDialogBuilder.h"
#include "framework/ui/DialogTemplate.h"
#include "res/resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

// The editor's dialog templates as the framework builds them: every one
// complete, in tab order, inside its dialog and readable.

namespace {

using C = DialogControl;

constexpr int kTemplates[] = {IDD_HEADER_INFO, IDD_SAMPLE_RESOURCE,   IDD_SELECT_SOUND_FILE,
                              IDD_SOUND_EVENT, IDD_CD_TRACK_RESOURCE, IDD_REPLACE_FOLDER};

class DialogTemplatesTest : public ::testing::Test {
protected:
    void SetUp() override { DialogDriver::EnsureApplication(); }

    template <class T>
    static T* Find(const std::vector<CDialogBuilder::Control>& controls, int id) {
        return FindBuilt<T>(controls, id);
    }
    template <class T>
    static T* FindText(const std::vector<CDialogBuilder::Control>& controls, const char* text) {
        return FindBuiltText<T>(controls, text);
    }
};

TEST_F(DialogTemplatesTest, EveryTemplateBuildsWithTitleSizeAndTabOrder) {
    for (int id : kTemplates) {
        const DialogTemplate* t = DialogTemplate::Find(id);
        ASSERT_NE(t, nullptr) << id;
        QDialog dialog;
        const auto controls = CDialogBuilder::Build(dialog, *t);
        ASSERT_EQ(controls.size(), t->controls.size());
        EXPECT_EQ(dialog.windowTitle(), QString::fromLatin1(t->pszTitle));
        const CDialogBuilder builder(dialog.font());
        EXPECT_EQ(dialog.minimumSize(), builder.MapDialogSize(t->cx, t->cy));
        EXPECT_EQ(dialog.maximumSize(), builder.MapDialogSize(t->cx, t->cy));

        QList<QWidget*> expected;
        for (const CDialogBuilder::Control& c : controls) {
            const bool stop = (c.pTemplate->nStyle & C::TabStop) != 0U;
            if (stop) {
                expected << c.pWidget;
            }
            EXPECT_EQ(c.pWidget->focusPolicy() == Qt::StrongFocus, stop)
                << id << c.pTemplate->pszText;
            // Every control lies inside the dialog.
            EXPECT_TRUE(QRect(QPoint(0, 0), dialog.minimumSize()).contains(c.pWidget->geometry()))
                << id << " control " << c.nId;
        }
        QList<QWidget*> chain;
        QWidget* w = expected.first();
        do {
            if (w->focusPolicy() == Qt::StrongFocus) {
                chain << w;
            }
            w = w->nextInFocusChain();
        } while (w != expected.first());
        EXPECT_EQ(chain, expected) << id;
    }
}

TEST_F(DialogTemplatesTest, StylesOfTheSampleTemplateAreHonoured) {
    QDialog dialog;
    const auto controls = CDialogBuilder::Build(dialog, *DialogTemplate::Find(IDD_SAMPLE_RESOURCE));
    dialog.show();

    auto* offset = Find<QLineEdit>(controls, IDC_OFFSET);
    ASSERT_NE(offset, nullptr);
    EXPECT_TRUE(offset->isReadOnly());
    EXPECT_TRUE(offset->hasFrame());

    auto* loopStart = Find<QLineEdit>(controls, IDC_LOOP_START);
    ASSERT_NE(loopStart, nullptr);
    EXPECT_FALSE(loopStart->isReadOnly());
    DialogDriver::Type(loopStart, QStringLiteral("1a-2 3."));
    EXPECT_EQ(loopStart->text(), QStringLiteral("123"));

    auto* sunken = Find<QLabel>(controls, IDC_RESOURCE_ID);
    ASSERT_NE(sunken, nullptr);
    EXPECT_EQ(sunken->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(sunken->textFormat(), Qt::PlainText);
    auto* rate = Find<QLabel>(controls, IDC_SAMPLE_RATE);
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(rate->frameShape(), QFrame::NoFrame);

    EXPECT_TRUE(Find<QPushButton>(controls, 1)->isDefault());
    EXPECT_FALSE(Find<QPushButton>(controls, 2)->isDefault());

    auto* storage = Find<QComboBox>(controls, IDC_STORAGE);
    ASSERT_NE(storage, nullptr);
    EXPECT_FALSE(storage->isEditable());
    // The items belong to the dialog's initialisation, not to the builder.
    EXPECT_EQ(storage->count(), 0);

    auto* looped = Find<QCheckBox>(controls, IDC_LOOPED);
    DialogDriver::Click(looped);
    EXPECT_TRUE(looped->isChecked());

    // A label's mnemonic leads to the next tab stop after it.
    EXPECT_EQ(FindText<QLabel>(controls, "&Type:")->buddy(), storage);
    EXPECT_EQ(FindText<QLabel>(controls, "Sample &rate:")->buddy(),
              Find<QLineEdit>(controls, IDC_VOLUME));
    EXPECT_EQ(FindText<QLabel>(controls, "St&art:")->buddy(), loopStart);
}

// A wave file name has up to 15 characters; the widest letters must still
// show whole in the sample dialog, which shows the name in a framed label.
TEST_F(DialogTemplatesTest, FifteenWideCharactersFitTheSampleFileName) {
    QDialog dialog;
    const auto controls = CDialogBuilder::Build(dialog, *DialogTemplate::Find(IDD_SAMPLE_RESOURCE));
    auto* name = Find<QLabel>(controls, IDC_FILE_NAME);
    ASSERT_NE(name, nullptr);
    for (const QString& text : {QString(15, u'W'), QStringLiteral("ABCDEFGHIJKLMNO"),
                                QStringLiteral("ENGINE_IDLE.WAV")}) {
        name->setText(text);
        const QFontMetrics metrics(name->font());
        // A framed label keeps half an 'x' clear of its frame.
        const int indent =
            name->indent() >= 0 ? name->indent() : metrics.horizontalAdvance(u'x') / 2;
        EXPECT_LE(metrics.horizontalAdvance(text) + indent, name->contentsRect().width())
            << text.toStdString();
        EXPECT_LE(name->sizeHint().width(), name->width()) << text.toStdString();
    }
    // The Select button beside it is not covered.
    auto* select = Find<QPushButton>(controls, IDC_SELECT);
    ASSERT_NE(select, nullptr);
    EXPECT_LT(name->geometry().right(), select->geometry().left());
}

// A text that does not fit its control is cut off on screen; the templates
// were drawn for a narrower font than most systems have, so this guards the
// look of every dialog.
TEST_F(DialogTemplatesTest, EveryTextFitsItsControl) {
    for (int id : kTemplates) {
        QDialog dialog;
        const auto controls = CDialogBuilder::Build(dialog, *DialogTemplate::Find(id));
        for (const CDialogBuilder::Control& c : controls) {
            const QString text =
                CDialogBuilder::StripMnemonic(QString::fromLatin1(c.pTemplate->pszText));
            if (text.isEmpty()) {
                continue;
            }
            const QFontMetrics metrics(c.pWidget->font());
            int needed = metrics.horizontalAdvance(text);
            if (auto* box = qobject_cast<QCheckBox*>(c.pWidget)) {
                needed = box->sizeHint().width();
            } else if (auto* button = qobject_cast<QPushButton*>(c.pWidget)) {
                needed += 4;
                Q_UNUSED(button);
            } else if (auto* group = qobject_cast<QGroupBox*>(c.pWidget)) {
                needed += 16;
                Q_UNUSED(group);
            }
            EXPECT_LE(needed, c.pWidget->width()) << id << " \"" << text.toStdString() << '"';
            if (qobject_cast<QLabel*>(c.pWidget) != nullptr) {
                EXPECT_LE(metrics.height(), c.pWidget->height() + 1)
                    << id << " \"" << text.toStdString() << '"';
                // A label made wider for its text covers no other control
                // that its template rectangle did not touch already.
                const CDialogBuilder builder(dialog.font());
                const auto mapped = [&](const DialogControl& t) {
                    return builder.MapDialogRect(t.x, t.y, t.cx, t.cy);
                };
                for (const CDialogBuilder::Control& other : controls) {
                    if (other.pWidget != c.pWidget && other.pTemplate->nClass != C::GroupBox &&
                        !mapped(*c.pTemplate).intersects(mapped(*other.pTemplate))) {
                        EXPECT_FALSE(c.pWidget->geometry().intersects(other.pWidget->geometry()))
                            << id << " \"" << text.toStdString() << "\" covers " << other.nId;
                    }
                }
            }
        }
    }
}

} // namespace
