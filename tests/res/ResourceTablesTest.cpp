#include "QtPrinters.h"

#include "framework/ui/AcceleratorTable.h"
#include "framework/ui/IconResource.h"
#include "framework/ui/MenuResource.h"
#include "framework/ui/StringTable.h"
#include "framework/ui/ToolBarResource.h"
#include "res/resource.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QKeySequence>
#include <QPixmap>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

const int kMenus[] = {IDR_MAINFRAME, IDR_BNMTYPE, IDR_CONTEXT};

// The mnemonic of a menu text: the character after a single '&'.
QChar Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (text.at(i + 1) != u'&') {
                return text.at(i + 1).toLower();
            }
            ++i;
        }
    }
    return QChar();
}

TEST(ResourceTables, EveryCommandHasAPromptAndEveryToolbarCommandATooltip) {
    for (int nMenu : kMenus) {
        const MenuResource* pMenu = MenuResource::Find(nMenu);
        ASSERT_NE(pMenu, nullptr) << nMenu;
        for (const MenuPopup& popup : pMenu->popups) {
            for (const MenuItem& item : popup.items) {
                if (!item.IsSeparator()) {
                    EXPECT_FALSE(StringTable::Prompt(item.nId).isEmpty()) << item.pszText;
                }
            }
        }
    }
    const ToolBarResource* pToolBar = ToolBarResource::Find(IDR_MAINFRAME);
    ASSERT_NE(pToolBar, nullptr);
    for (const ToolBarButton& button : pToolBar->buttons) {
        if (!button.IsSeparator()) {
            EXPECT_FALSE(StringTable::Prompt(button.nId).isEmpty()) << button.nId;
            EXPECT_FALSE(StringTable::ToolTip(button.nId).isEmpty()) << button.nId;
        }
    }
    for (const Accelerator& accel : AcceleratorTable::Find(IDR_MAINFRAME)->entries) {
        EXPECT_TRUE(StringTable::Contains(accel.nId)) << accel.nId;
    }
}

TEST(ResourceTables, KeysShownInMenusAreTheAcceleratorsOfTheirCommands) {
    const AcceleratorTable* pTable = AcceleratorTable::Find(IDR_MAINFRAME);
    ASSERT_NE(pTable, nullptr);
    for (int nMenu : {IDR_MAINFRAME, IDR_BNMTYPE}) {
        for (const MenuPopup& popup : MenuResource::Find(nMenu)->popups) {
            for (const MenuItem& item : popup.items) {
                const QString text =
                    item.IsSeparator() ? QString() : QString::fromUtf8(item.pszText);
                const qsizetype tab = text.indexOf(u'\t');
                // Space is the resource view's own key, not an accelerator.
                if (tab < 0 || item.nId == ID_SOUND_PLAY) {
                    continue;
                }
                // "Enter" is the Enter key of the main block, Qt's Return.
                const QKeySequence shown(
                    text.mid(tab + 1).replace(QStringLiteral("Enter"), QStringLiteral("Return")),
                    QKeySequence::PortableText);
                bool found = false;
                for (const Accelerator& accel : pTable->entries) {
                    found = found || (accel.nId == item.nId && QKeySequence(accel.key) == shown);
                }
                EXPECT_TRUE(found) << item.pszText;
            }
        }
    }
}

TEST(ResourceTables, NoKeyStartsTwoCommands) {
    QSet<int> keys;
    for (const Accelerator& accel : AcceleratorTable::Find(IDR_MAINFRAME)->entries) {
        EXPECT_FALSE(keys.contains(accel.key.toCombined())) << accel.nId;
        keys.insert(accel.key.toCombined());
    }
    EXPECT_EQ(keys.size(), 15);
}

TEST(ResourceTables, MnemonicsAreUniqueInEveryMenu) {
    for (int nMenu : kMenus) {
        const MenuResource* pMenu = MenuResource::Find(nMenu);
        QSet<QChar> bar;
        for (const MenuPopup& popup : pMenu->popups) {
            const QChar title = Mnemonic(QString::fromUtf8(popup.pszText));
            if (!title.isNull()) {
                EXPECT_FALSE(bar.contains(title)) << popup.pszText;
                bar.insert(title);
            }
            QSet<QChar> items;
            for (const MenuItem& item : popup.items) {
                const QChar key =
                    item.IsSeparator() ? QChar() : Mnemonic(QString::fromUtf8(item.pszText));
                // Redo and Properties share their R, each as its menu text
                // has always been spelt; R moves between the two, and each
                // has its accelerator.
                if (!key.isNull() && item.nId != ID_EDIT_REDO) {
                    EXPECT_FALSE(items.contains(key)) << item.pszText;
                    items.insert(key);
                }
            }
        }
    }
}

TEST(ResourceTables, ToolbarImagesAndIconsLoad) {
    int argc = 1;
    char name[] = "kantel";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    const ToolBarResource* pToolBar = ToolBarResource::Find(IDR_MAINFRAME);
    ASSERT_NE(pToolBar, nullptr);
    QSet<QString> images;
    for (const ToolBarButton& button : pToolBar->buttons) {
        if (button.IsSeparator()) {
            continue;
        }
        const QImage image(QString::fromUtf8(button.pszImage));
        EXPECT_EQ(image.size(), QSize(pToolBar->cxButton, pToolBar->cyButton)) << button.pszImage;
        images.insert(QString::fromUtf8(button.pszImage));
    }
    EXPECT_EQ(images.size(), 14) << "each button has an image of its own";

    for (int nIcon : {IDR_MAINFRAME, IDR_BNMTYPE}) {
        const IconResource* pIcon = IconResource::Find(nIcon);
        ASSERT_NE(pIcon, nullptr) << nIcon;
        for (const char* path : pIcon->images) {
            EXPECT_FALSE(QImage(QString::fromUtf8(path)).isNull()) << path;
        }
    }
    EXPECT_EQ(IconResource::Find(IDR_CONTEXT), nullptr);
}

// The window icon's pixels are compiled in from the icon files the desktop
// is given: at each size, a frame must get exactly the file's pixels.
TEST(ResourceTables, TheWindowIconIsTheIconFilesAtTheirSizes) {
    int argc = 1;
    char name[] = "kantel";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    const IconResource* pIcon = IconResource::Find(IDR_MAINFRAME);
    ASSERT_NE(pIcon, nullptr);
    const QIcon icon = pIcon->LoadWindowIcon();
    const QList<int> sizes{16, 32, 48, 64, 128};
    ASSERT_EQ(icon.availableSizes().size(), sizes.size());
    for (int size : sizes) {
        const QString path = QStringLiteral(KANTEL_ICON_DIR "/%1/kantel.png").arg(size);
        const QImage file(path);
        ASSERT_EQ(file.size(), QSize(size, size)) << path.toStdString();
        const QImage shown = icon.pixmap(file.size()).toImage();
        EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32),
                  file.convertToFormat(QImage::Format_ARGB32))
            << path.toStdString();
    }
}

TEST(ResourceTables, ToolbarImagesAndIconsAreDrawnAnewAtTwiceTheScale) {
    int argc = 1;
    char name[] = "kantel";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    // A bitmap icon is never enlarged: asked for twice its size it gives
    // its own pixels, which the screen then blurs. A drawing gives every
    // pixel asked for. The Undo and Redo drawings are checked by name too.
    const ToolBarResource* pToolBar = ToolBarResource::Find(IDR_MAINFRAME);
    ASSERT_NE(pToolBar, nullptr);
    const QSize button(pToolBar->cxButton, pToolBar->cyButton);
    QStringList paths{QStringLiteral(":/res/toolbar/undo.svg"),
                      QStringLiteral(":/res/toolbar/redo.svg")};
    for (const ToolBarButton& b : pToolBar->buttons) {
        if (!b.IsSeparator()) {
            paths << QString::fromUtf8(b.pszImage);
        }
    }
    for (const QString& path : std::as_const(paths)) {
        const QPixmap pixmap = QIcon(path).pixmap(button, 2.0);
        EXPECT_EQ(pixmap.size(), button * 2) << path.toStdString();
        EXPECT_EQ(QImage(path).size(), button) << path.toStdString();
    }
    for (int nIcon : {IDR_MAINFRAME, IDR_BNMTYPE}) {
        QIcon icon;
        for (const char* path : IconResource::Find(nIcon)->images) {
            icon.addFile(QString::fromUtf8(path));
        }
        for (int side : {16, 32, 48, 256}) {
            const QImage image = icon.pixmap(QSize(side, side), 2.0).toImage();
            EXPECT_EQ(image.size(), QSize(side, side) * 2) << nIcon;
            // Drawn, not blank: the middle row has opaque pixels.
            int opaque = 0;
            for (int x = 0; x < image.width(); ++x) {
                opaque += qAlpha(image.pixel(x, image.height() / 2)) == 255 ? 1 : 0;
            }
            EXPECT_GT(opaque, image.width() / 4) << nIcon << " at " << side;
        }
    }
}

TEST(ResourceTables, DocumentStringHasTheSevenFieldsOfATemplate) {
    const QStringList fields = StringTable::Load(IDR_BNMTYPE).split(u'\n');
    ASSERT_EQ(fields.size(), 7);
    EXPECT_EQ(fields.at(3), QStringLiteral("Kantel Files (*.bnm)"));
    EXPECT_EQ(fields.at(4), QStringLiteral(".BNM"));
    EXPECT_EQ(StringTable::Prompt(ID_APP_EXIT),
              QStringLiteral("Quit the application; prompts to save documents"));
    EXPECT_EQ(StringTable::ToolTip(ID_FILE_MRU_FILE1 + 3), QString());
    EXPECT_EQ(StringTable::Load(12345), QString());
}

} // namespace
