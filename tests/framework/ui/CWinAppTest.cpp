#include "MdiTestKit.h"

#include "framework/ui/CCommandLineInfo.h"
#include "framework/ui/CFileDialog.h"
#include "framework/ui/CFilePicker.h"
#include "framework/ui/CRecentFileList.h"
#include "framework/ui/CSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace {

// ---------------------------------------------------------------------------
// Profile functions, without any window.

class Profile : public ::testing::Test {
protected:
    QSettings Store() const {
        return QSettings(folder.FilePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    }

    TestFolder folder;
    IniFileSettingsStore settingsFile{folder.FilePath(QStringLiteral("settings.ini"))};
    CWinApp app{QStringLiteral("Kantel")};
};

TEST_F(Profile, ValuesGoToSectionAndEntryAndComeBack) {
    app.SetRegistryKey(QStringLiteral("QXR"));
    EXPECT_TRUE(app.WriteProfileInt(QStringLiteral("Settings"), QStringLiteral("Game"), 1));
    EXPECT_TRUE(app.WriteProfileString(QStringLiteral("Settings"), QStringLiteral("window_pos"),
                                       QStringLiteral("0,1,-1,-1,-1,-1,100,80,900,700")));
    EXPECT_EQ(app.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("Game"), 0), 1);
    EXPECT_EQ(app.GetProfileString(QStringLiteral("Settings"), QStringLiteral("window_pos")),
              QStringLiteral("0,1,-1,-1,-1,-1,100,80,900,700"));
    EXPECT_EQ(Store().value(QStringLiteral("Settings/Game")).toInt(), 1);
}

TEST_F(Profile, MissingOrUnreadableEntriesGiveTheDefault) {
    EXPECT_EQ(app.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("Game"), 7), 7);
    EXPECT_EQ(app.GetProfileString(QStringLiteral("Settings"), QStringLiteral("window_pos")),
              QString());
    EXPECT_EQ(app.GetProfileString(QStringLiteral("Settings"), QStringLiteral("x"),
                                   QStringLiteral("def")),
              QStringLiteral("def"));
    {
        QSettings store = Store();
        store.setValue(QStringLiteral("Settings/Game"), QStringLiteral("five"));
        store.setValue(QStringLiteral("Settings/Negative"), QStringLiteral("-2"));
    }
    EXPECT_EQ(app.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("Game"), 3), 3);
    EXPECT_EQ(app.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("Negative"), 3), -2);
}

TEST_F(Profile, HandWrittenListReadsAsTheStringItIs) {
    // A value with commas written without quotes, as a person would.
    QFile file(folder.FilePath(QStringLiteral("settings.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nwindow_pos=0,1,-1,-1,-1,-1,100,80,900,700\n");
    file.close();
    EXPECT_EQ(app.GetProfileString(QStringLiteral("Settings"), QStringLiteral("window_pos")),
              QStringLiteral("0,1,-1,-1,-1,-1,100,80,900,700"));
}

TEST_F(Profile, StoreIsNamedAfterKeyAndApplication) {
    // Without a redirection the store is QSettings(key, application name).
    CSeam<CSettingsStore>::Guard user{nullptr};
    app.SetRegistryKey(QStringLiteral("QXR"));
    const auto settings = app.OpenSettingsStore();
    EXPECT_EQ(settings->organizationName(), QStringLiteral("QXR"));
    EXPECT_EQ(settings->applicationName(), QStringLiteral("Kantel"));
}

TEST_F(Profile, ApplicationNameComesFromTheStringTable) {
    CWinApp unnamed;
    EXPECT_EQ(unnamed.m_pszAppName, QStringLiteral("Kantel"));
}

TEST_F(Profile, RecentFilesPersistNewestFirstInTheirOwnSection) {
    app.SetRegistryKey(QStringLiteral("QXR"));
    app.LoadStdProfileSettings(8);
    ASSERT_NE(app.m_pRecentFileList, nullptr);
    EXPECT_EQ(app.m_pRecentFileList->GetSize(), 8);
    for (int i = 0; i < 10; ++i) {
        app.AddToRecentFileList(QStringLiteral("/banks/Bnk_%1.bnm").arg(i));
    }
    app.AddToRecentFileList(QStringLiteral("/banks/Bnk_5.bnm")); // moves up, not in twice
    app.ExitInstance();

    QSettings store = Store();
    store.beginGroup(QStringLiteral("Recent File List"));
    EXPECT_EQ(store.childKeys().size(), 8);
    EXPECT_EQ(store.value(QStringLiteral("File1")).toString(), QStringLiteral("/banks/Bnk_5.bnm"));
    EXPECT_EQ(store.value(QStringLiteral("File2")).toString(), QStringLiteral("/banks/Bnk_9.bnm"));
    EXPECT_EQ(store.value(QStringLiteral("File8")).toString(), QStringLiteral("/banks/Bnk_2.bnm"));
    store.endGroup();

    CWinApp next{QStringLiteral("Kantel")};
    next.SetRegistryKey(QStringLiteral("QXR"));
    next.LoadStdProfileSettings(8);
    ASSERT_EQ(next.m_pRecentFileList->GetCount(), 8);
    EXPECT_EQ((*next.m_pRecentFileList)[0], QStringLiteral("/banks/Bnk_5.bnm"));
    EXPECT_EQ((*next.m_pRecentFileList)[7], QStringLiteral("/banks/Bnk_2.bnm"));
}

TEST_F(Profile, RecentFileListSkipsHolesAndRewritesWithoutThem) {
    {
        QSettings store = Store();
        store.setValue(QStringLiteral("Recent File List/File1"), QStringLiteral("/a.bnm"));
        store.setValue(QStringLiteral("Recent File List/File3"), QStringLiteral("/c.bnm"));
        store.setValue(QStringLiteral("Recent File List/File4"), QStringLiteral("/a.bnm"));
    }
    app.LoadStdProfileSettings(8);
    ASSERT_EQ(app.m_pRecentFileList->GetCount(), 2);
    EXPECT_EQ((*app.m_pRecentFileList)[1], QStringLiteral("/c.bnm"));
    app.m_pRecentFileList->Remove(0);
    app.SaveStdProfileSettings();
    QSettings store = Store();
    store.beginGroup(QStringLiteral("Recent File List"));
    EXPECT_EQ(store.childKeys(), QStringList{QStringLiteral("File1")});
    EXPECT_EQ(store.value(QStringLiteral("File1")).toString(), QStringLiteral("/c.bnm"));
}

TEST(RecentFileMenuText, NumbersShortensAndEscapes) {
    CRecentFileList list(QStringLiteral("Recent File List"), QStringLiteral("File%d"), 4);
    list.Add(QStringLiteral("/home/user/games/korvex/kvdatab/resson/Bnk_0.bnm"));
    list.Add(QStringLiteral("/tmp/R&B.bnm"));
    EXPECT_EQ(list.GetMenuText(0, QStringLiteral("/tmp")), QStringLiteral("&1 R&&B.bnm"));
    EXPECT_EQ(list.GetMenuText(0, QStringLiteral("/")), QStringLiteral("&1 /tmp/R&&B.bnm"));
    EXPECT_EQ(list.GetMenuText(1, QStringLiteral("/")),
              QStringLiteral("&2 /home/.../resson/Bnk_0.bnm"));
    // The file name itself is never cut.
    EXPECT_EQ(CRecentFileList::AbbreviateName(
                  QStringLiteral("/a/b/c/a_very_long_bank_file_name_indeed.bnm"), 30),
              QStringLiteral("/a/.../a_very_long_bank_file_name_indeed.bnm"));
}

// ---------------------------------------------------------------------------
// The framework's own file dialog, for a program that keeps it.

class RecordingFilePicker final : public CFilePicker {
public:
    int Pick(CFileDialog& dialog) override {
        runs.append(dialog.m_ofn);
        open.append(dialog.IsOpenFileDialog());
        if (answer.isEmpty()) {
            return IDCANCEL;
        }
        dialog.m_ofn.strFile = answer;
        return IDOK;
    }

    QList<CFileDialog::OpenFileName> runs;
    QList<bool> open;
    QString answer;
};

TEST(DefaultFileDialog, OffersTheTemplatesFiltersAndAllFiles) {
    CWinApp app{QStringLiteral("Kantel")};
    auto* pTemplate = new CMultiDocTemplate(IDR_BNMTYPE, nullptr, nullptr, nullptr);
    app.AddDocTemplate(pTemplate);
    RecordingFilePicker picker;
    CSeam<CFilePicker>::Guard guard(&picker);

    QString name;
    EXPECT_FALSE(app.DoPromptFileName(name, AFX_IDS_OPENFILE, OFN_FILEMUSTEXIST, true, nullptr));
    picker.answer = QStringLiteral("/banks/Bnk_1.bnm");
    name = QStringLiteral("Bnk_0.BNM");
    EXPECT_TRUE(app.DoPromptFileName(name, AFX_IDS_SAVEFILE, 0, false, pTemplate));
    EXPECT_EQ(name, QStringLiteral("/banks/Bnk_1.bnm"));

    ASSERT_EQ(picker.runs.size(), 2);
    EXPECT_EQ(picker.open, (QList<bool>{true, false}));
    const CFileDialog::OpenFileName& open = picker.runs.at(0);
    EXPECT_EQ(open.strTitle, QStringLiteral("Open"));
    EXPECT_EQ(open.strFilter, QStringLiteral("Kantel Files (*.bnm)|*.BNM|All Files (*.*)|*.*||"));
    EXPECT_EQ(open.nFilterIndex, 1);
    EXPECT_NE(open.Flags & OFN_FILEMUSTEXIST, 0U);
    EXPECT_EQ(open.strDefExt, QString());
    const CFileDialog::OpenFileName& save = picker.runs.at(1);
    EXPECT_EQ(save.strTitle, QStringLiteral("Save As"));
    EXPECT_EQ(save.strFile, QStringLiteral("Bnk_0.BNM"));
    EXPECT_EQ(save.strDefExt, QStringLiteral("BNM"));
}

// ---------------------------------------------------------------------------
// The open and save sequences, with the main frame.

class DocumentFiles : public MdiTest {
protected:
    QStringList RecentFiles() const {
        QStringList files;
        for (int i = 0; i < app->m_pRecentFileList->GetCount(); ++i) {
            files.append((*app->m_pRecentFileList)[i]);
        }
        return files;
    }
};

TEST_F(DocumentFiles, FileOpenAsksForANameAndShowsTheDocument) {
    const QString path = WriteRows(QStringLiteral("a.txt"), QStringLiteral("x\ny"));
    app->Manager().answers = {path};
    QTest::keyClick(frame, Qt::Key_O, Qt::ControlModifier);

    ASSERT_EQ(app->Manager().prompts.size(), 1);
    const ScriptedDocManager::Prompt& prompt = app->Manager().prompts.at(0);
    EXPECT_TRUE(prompt.bOpen);
    EXPECT_EQ(prompt.nIDSTitle, AFX_IDS_OPENFILE);
    EXPECT_EQ(prompt.pTemplate, nullptr);
    ASSERT_EQ(frame->GetChildFrames().size(), 1);
    RowsView* pView = ActiveView();
    EXPECT_EQ(pView->GetDocument()->GetTitle(), QStringLiteral("a.txt"));
    EXPECT_EQ(pView->GetDocument()->GetPathName(), path);
    EXPECT_FALSE(pView->GetDocument()->IsModified());
    EXPECT_EQ(pView->updates, 1);
    EXPECT_EQ(frame->MDIGetActive()->GetWindowText(), QStringLiteral("a.txt - Rows"));
    EXPECT_EQ(RecentFiles(), QStringList{path});
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(DocumentFiles, CancelledOpenDoesNothing) {
    app->Manager().answers = {QString()};
    frame->OnCommand(ID_FILE_OPEN);
    EXPECT_EQ(app->Manager().prompts.size(), 1);
    EXPECT_TRUE(frame->GetChildFrames().isEmpty());
    EXPECT_EQ(app->m_pDocManager->GetOpenDocumentCount(), 0);
}

TEST_F(DocumentFiles, FailedOpenTakesDocumentAndWindowAwaySilently) {
    const QString path = WriteRows(QStringLiteral("bad.txt"), QStringLiteral("broken"));
    EXPECT_EQ(app->OpenDocumentFile(path), nullptr);
    DeleteClosedWindows();
    // The one message is the document's own.
    EXPECT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(frame->GetChildFrames().isEmpty());
    EXPECT_EQ(app->m_pDocManager->GetOpenDocumentCount(), 0);
    EXPECT_EQ(g_closedDocuments, 1);
    EXPECT_TRUE(RecentFiles().isEmpty());
    EXPECT_EQ(frame->GetMenuResourceId(), IDR_MAINFRAME);

    prompts.prompts.clear();
    EXPECT_EQ(app->OpenDocumentFile(folder.FilePath(QStringLiteral("missing.txt"))), nullptr);
    EXPECT_EQ(prompts.prompts.size(), 1);
}

TEST_F(DocumentFiles, OpeningAFileThatIsOpenActivatesItsWindow) {
    RowsDocument* pA = Open(QStringLiteral("a.txt"));
    Open(QStringLiteral("b.txt"));
    pA->SetModifiedFlag(true);
    EXPECT_EQ(app->OpenDocumentFile(folder.FilePath(QStringLiteral("a.txt"))), pA);
    EXPECT_EQ(app->m_pDocManager->GetOpenDocumentCount(), 2);
    EXPECT_EQ(frame->MDIGetActive()->GetActiveDocument(), pA);
    EXPECT_TRUE(pA->IsModified()) << "the changes are still there";
}

TEST_F(DocumentFiles, RecentFileEntryOpensAndAGoneFileLeavesTheList) {
    const QString a = WriteRows(QStringLiteral("a.txt"), QStringLiteral("x"));
    const QString gone = folder.FilePath(QStringLiteral("gone.txt"));
    app->AddToRecentFileList(a);
    app->AddToRecentFileList(gone);

    QMenu* pFile = OpenPopup(QStringLiteral("&File"));
    QStringList entries;
    QAction* pSecond = nullptr;
    for (QAction* pAction : pFile->actions()) {
        if (pAction->isVisible() && pAction->text().startsWith(u'&') &&
            pAction->text().at(1).isDigit()) {
            entries.append(pAction->statusTip());
            if (pAction->text().startsWith(QStringLiteral("&2"))) {
                pSecond = pAction;
            }
        }
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral("Open this document"),
                                    QStringLiteral("Open this document")}));
    ASSERT_NE(pSecond, nullptr);
    pSecond->trigger();
    ASSERT_EQ(frame->GetChildFrames().size(), 1);
    EXPECT_EQ(RecentFiles(), (QStringList{a, gone}));

    frame->OnCommand(ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(prompts.prompts.size(), 1) << "the document says why it cannot open";
    EXPECT_EQ(RecentFiles(), QStringList{a});
}

TEST_F(DocumentFiles, SaveWritesTheDocumentsOwnFile) {
    RowsDocument* pDoc = Open(QStringLiteral("a.txt"), QStringLiteral("old"));
    pDoc->rows = QStringList{QStringLiteral("new")};
    pDoc->SetModifiedFlag(true);
    QTest::keyClick(&ActiveView()->GetListCtrl(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(app->Manager().prompts.isEmpty());
    EXPECT_EQ(folder.Read(QStringLiteral("a.txt")), QByteArray("new"));
    EXPECT_FALSE(pDoc->IsModified());
}

TEST_F(DocumentFiles, SaveOfAFileThatIsGoneAsksForAName) {
    RowsDocument* pDoc = Open(QStringLiteral("a.txt"), QStringLiteral("old"));
    folder.Remove(QStringLiteral("a.txt"));
    app->Manager().answers = {QString()};
    frame->OnCommand(ID_FILE_SAVE);
    ASSERT_EQ(app->Manager().prompts.size(), 1);
    EXPECT_FALSE(app->Manager().prompts.at(0).bOpen);
    EXPECT_FALSE(folder.Exists(QStringLiteral("a.txt")));
    EXPECT_EQ(pDoc->GetTitle(), QStringLiteral("a.txt"));
}

TEST_F(DocumentFiles, SaveAsNamesTheDocumentAfterTheNewFile) {
    RowsDocument* pDoc = Open(QStringLiteral("a.txt"), QStringLiteral("rows"));
    const QString target = folder.FilePath(QStringLiteral("b.txt"));
    app->Manager().answers = {target};
    frame->OnCommand(ID_FILE_SAVE_AS);

    ASSERT_EQ(app->Manager().prompts.size(), 1);
    const ScriptedDocManager::Prompt& prompt = app->Manager().prompts.at(0);
    EXPECT_FALSE(prompt.bOpen);
    EXPECT_EQ(prompt.nIDSTitle, AFX_IDS_SAVEFILE);
    EXPECT_EQ(prompt.pTemplate, pTemplate);
    EXPECT_EQ(prompt.initial, folder.FilePath(QStringLiteral("a.txt")));
    EXPECT_EQ(folder.Read(QStringLiteral("b.txt")), QByteArray("rows"));
    EXPECT_EQ(pDoc->GetPathName(), target);
    EXPECT_EQ(pDoc->GetTitle(), QStringLiteral("b.txt"));
    EXPECT_EQ(RecentFiles().value(0), target);
    // The windows show the new name at once.
    EXPECT_EQ(frame->MDIGetActive()->GetWindowText(), QStringLiteral("b.txt - Rows"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Kantel - b.txt"));
}

TEST_F(DocumentFiles, CancelledSaveAsWritesNothing) {
    RowsDocument* pDoc = Open(QStringLiteral("a.txt"), QStringLiteral("old"));
    pDoc->rows = QStringList{QStringLiteral("new")};
    pDoc->SetModifiedFlag(true);
    app->Manager().answers = {QString()};
    frame->OnCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(folder.Read(QStringLiteral("a.txt")), QByteArray("old"));
    EXPECT_TRUE(pDoc->IsModified());
}

TEST_F(DocumentFiles, NewDocumentIsSavedUnderANameMadeFromItsTitle) {
    app->OnFileNew();
    RowsView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->GetDocument()->GetTitle(), QStringLiteral("Kantel1"));
    app->Manager().answers = {QString()};
    frame->OnCommand(ID_FILE_SAVE);
    ASSERT_EQ(app->Manager().prompts.size(), 1);
    EXPECT_EQ(app->Manager().prompts.at(0).initial, QStringLiteral("Kantel1.BNM"));
}

TEST_F(DocumentFiles, CommandLineOpensTheNamedFileOrNothing) {
    CCommandLineInfo nothing;
    nothing.ParseParam(QStringLiteral("verbose"), true, false);
    EXPECT_EQ(nothing.m_nShellCommand, CCommandLineInfo::FileNew);
    nothing.m_nShellCommand = CCommandLineInfo::FileNothing;
    EXPECT_TRUE(app->ProcessShellCommand(nothing));
    EXPECT_TRUE(frame->GetChildFrames().isEmpty());

    CCommandLineInfo open;
    const QString path = WriteRows(QStringLiteral("a.txt"), QStringLiteral("x"));
    open.ParseParam(path, false, true);
    EXPECT_EQ(open.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(open.m_strFileName, path);
    EXPECT_TRUE(app->ProcessShellCommand(open));
    EXPECT_EQ(frame->GetChildFrames().size(), 1);

    CCommandLineInfo missing;
    missing.ParseParam(folder.FilePath(QStringLiteral("missing.txt")), false, true);
    EXPECT_FALSE(app->ProcessShellCommand(missing));
}

} // namespace
