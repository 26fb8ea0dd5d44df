#include "DialogDriver.h"
#include "QtPrinters.h"

#include "framework/core/CResourceText.h"
#include "framework/ui/CDialogBuilder.h"
#include "framework/ui/DialogTemplate.h"
#include "framework/ui/StringTable.h"
#include "res/resource.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QSet>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <utility>

// The texts the user reads are ready for translation: the build lists them
// for translators, and the program shows what an installed translator gives.

namespace {

using Message = std::pair<QString, QString>; // context, source

QSet<Message> MessagesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QSet<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement()) {
            continue;
        }
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            messages.insert({context, xml.readElementText()});
        }
    }
    return messages;
}

TEST(Translation, BuildListsTheTextsOfTablesMessagesAndColumns) {
    const QSet<Message> messages = MessagesOf(QStringLiteral(KANTEL_TS_FILE));
    ASSERT_FALSE(messages.isEmpty()) << KANTEL_TS_FILE;
    const QString resources = QString::fromLatin1(CResourceText::kContext);
    const Message expected[] = {
        // A menu item, a popup, a string table entry, a dialog title, a
        // dialog's list item and a list column title.
        {resources, QStringLiteral("&Open...\tCtrl+O")},
        {resources, QStringLiteral("&Window")},
        {resources, QStringLiteral("View the file header\nHeader")},
        {resources, QStringLiteral("Sound Resource Properties")},
        {resources, QStringLiteral("External")},
        {resources, QStringLiteral("LoopStart")},
        // Messages built in code, with their places for values.
        {QStringLiteral("CKantelDoc"), QStringLiteral("Couldn't store %1")},
        {QStringLiteral("CDataExchange"),
         QStringLiteral("Please enter no more than %d characters.")},
        {QStringLiteral("CBankReader"), QStringLiteral("File is truncated")},
        // A finding of Check Bank and a column title of its window.
        {QStringLiteral("CBankChecker"), QStringLiteral("Its id %1 is also that of %2.")},
        // A count, with the plural forms a translation gives it.
        {QStringLiteral("CBankChecker"), QStringLiteral("%n channel(s)")},
        {QStringLiteral("CCheckView"), QStringLiteral("Finding")},
    };
    for (const Message& message : expected) {
        EXPECT_TRUE(messages.contains(message))
            << message.first.toStdString() << ": " << message.second.toStdString();
    }
}

// Answers every text of the tables' context with a marked copy.
class MarkingTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (qstrcmp(context, CResourceText::kContext) != 0) {
            return QString();
        }
        return QStringLiteral("[") + QString::fromUtf8(sourceText) + QStringLiteral("]");
    }
    bool isEmpty() const override { return false; }
};

TEST(Translation, TableTextsReachTheScreenThroughTheInstalledTranslator) {
    DialogDriver::EnsureApplication();
    EXPECT_EQ(StringTable::Prompt(ID_VIEW_HEADER), QStringLiteral("View the file header"));

    MarkingTranslator translator;
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    EXPECT_EQ(StringTable::Prompt(ID_VIEW_HEADER), QStringLiteral("[View the file header"));
    QDialog dialog;
    const auto controls = CDialogBuilder::Build(dialog, *DialogTemplate::Find(IDD_HEADER_INFO));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("[Header Info]"));
    bool labelMarked = false;
    for (const CDialogBuilder::Control& control : controls) {
        if (auto* label = qobject_cast<QLabel*>(control.pWidget)) {
            labelMarked = labelMarked || label->text() == QStringLiteral("[File length:]");
        }
    }
    EXPECT_TRUE(labelMarked);
    QCoreApplication::removeTranslator(&translator);

    // Without it the tables' own English comes back.
    EXPECT_EQ(CResourceText::Tr("File length:"), QStringLiteral("File length:"));
    EXPECT_EQ(CResourceText::Tr(""), QString());
}

} // namespace
