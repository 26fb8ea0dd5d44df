#include "BankBuilder.h"
#include "DialogDriver.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "RecordingSoundPlayer.h"
#include "ScriptedFilePicker.h"
#include "ScriptedModalRunner.h"
#include "SoundTools.h"
#include "TestFolder.h"

#include "dialogs/CSampleResourceDlg.h"
#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"
#include "framework/core/AfxMessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

QByteArray Bytes(const SoundResource& r) {
    return QByteArray(reinterpret_cast<const char*>(&r), sizeof r);
}

// Every box the dialog shows, in one list, to see that nothing changed.
QStringList Boxes(const CDialog& dlg) {
    QStringList texts;
    for (int id :
         {IDC_RESOURCE_ID, IDC_RESOURCE_TYPE, IDC_FILE_NAME, IDC_OFFSET, IDC_LENGTH, IDC_LOOP_START,
          IDC_LOOP_LENGTH, IDC_VOLUME, IDC_SAMPLE_RATE, IDC_CHANNELS, IDC_BITS, IDC_STORAGE}) {
        texts << dlg.GetDlgItemText(id);
    }
    texts << QString::number(DialogDriver::Control<QCheckBox>(dlg, IDC_LOOPED)->isChecked());
    return texts;
}

class SampleResourceDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        DialogDriver::EnsureApplication();
        BankBuilder b;
        b.bank = 1;
        b.AddSample(12, QStringLiteral("engine.wav"), BankBuilder::Pattern(100, 1), true);
        b.AddSample(13, QStringLiteral("horn.wav"), BankBuilder::Pattern(50, 2), false, 11025, 8,
                    2);
        b.AddCdTrack(20, 5);
        folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build());
        ASSERT_TRUE(doc.LoadBankAndNames(folder.FilePath(QStringLiteral("Bnk_1.bnm"))));
        // The dialog edits the record it is given; the view gives it a copy.
        records.assign(doc.Resources().begin(), doc.Resources().end());
        other.Write(QStringLiteral("new.wav"), QByteArray());
    }

    SoundResource& Banked() { return records.at(0); }
    SoundResource& External() { return records.at(1); }

    // Runs the dialog on r with script as the user.
    int Run(SoundResource& r, const ScriptedModalRunner::Script& script) {
        runner.scripts << script;
        CSampleResourceDlg dlg(&doc, &r);
        return dlg.DoModal();
    }

    // A Select that picks name in the bank's folder in the browser and
    // presses OK in the selection dialog.
    void SelectInBrowser(QDialog& dlg, const QString& name) {
        picker.answers << folder.FilePath(name);
        runner.scripts << [](QDialog& select) {
            DialogDriver::Click(
                DialogDriver::Control<QPushButton>(static_cast<CDialog&>(select), IDOK));
        };
        DialogDriver::Click(Control<QPushButton>(dlg, IDC_SELECT));
    }

    template <class T> static T* Control(QDialog& dlg, int id) {
        return DialogDriver::Control<T>(static_cast<CDialog&>(dlg), id);
    }

    TestFolder folder;
    TestFolder other;
    RecordingPromptSink prompts;
    ScriptedModalRunner runner;
    ScriptedFilePicker picker;
    RecordingSoundPlayer sound;
    CKantelDoc doc;
    std::vector<SoundResource> records;
};

TEST_F(SampleResourceDlgTest, OpensWithTheRecordsValues) {
    Banked().offset = 1234;
    Banked().looped = 1;
    Banked().loopStart = 7;
    Banked().loopLength = 64;
    QStringList shown;
    bool focusOnList = false;
    Run(Banked(), [&](QDialog& dlg) {
        shown = Boxes(static_cast<CDialog&>(dlg));
        focusOnList = dlg.focusWidget() == Control<QComboBox>(dlg, IDC_STORAGE);
    });
    EXPECT_EQ(runner.titles, QStringList{QStringLiteral("Sound Resource Properties")});
    EXPECT_EQ(shown, (QStringList{"12", "Sound Sample (PCM)", "engine.wav", "1234", "100", "7",
                                  "64", "100", "22050", "1", "16", "Bank", "1"}));
    // The storage list is the first tab stop.
    EXPECT_TRUE(focusOnList);
}

TEST_F(SampleResourceDlgTest, StorageListHoldsExternalAndBankAndNoTypeCaptionWithoutPcm) {
    External().waveFormat = 2;
    QStringList items;
    QString type;
    Run(External(), [&](QDialog& dlg) {
        auto* list = Control<QComboBox>(dlg, IDC_STORAGE);
        for (int i = 0; i < list->count(); ++i) {
            items << list->itemText(i);
        }
        type = static_cast<CDialog&>(dlg).GetDlgItemText(IDC_RESOURCE_TYPE);
    });
    EXPECT_EQ(items, (QStringList{"External", "Bank"}));
    EXPECT_EQ(type, QStringLiteral("Sound Sample"));
}

TEST_F(SampleResourceDlgTest, OffsetBoxShowsStoredOffsetThenFollowsTheStorageList) {
    Banked().offset = 1234;
    External().offset = 100;
    QStringList offsets;
    Run(Banked(), [&](QDialog& dlg) {
        auto* list = Control<QComboBox>(dlg, IDC_STORAGE);
        const auto offset = [&] { return static_cast<CDialog&>(dlg).GetDlgItemText(IDC_OFFSET); };
        offsets << offset();
        DialogDriver::Pick(list, 0);
        offsets << offset();
        DialogDriver::Pick(list, 1);
        offsets << offset();
    });
    // An external sample whose record holds another offset shows that one.
    Run(External(),
        [&](QDialog& dlg) { offsets << static_cast<CDialog&>(dlg).GetDlgItemText(IDC_OFFSET); });
    EXPECT_EQ(offsets, (QStringList{"1234", "44", "Not known yet", "100"}));
}

TEST_F(SampleResourceDlgTest, CancelAndEscapeLeaveTheRecordAsItWas) {
    const QByteArray before = Bytes(Banked());
    const int cancelled = Run(Banked(), [&](QDialog& dlg) {
        DialogDriver::Pick(Control<QComboBox>(dlg, IDC_STORAGE), 0);
        DialogDriver::Click(Control<QCheckBox>(dlg, IDC_LOOPED));
        DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_VOLUME), QStringLiteral("5"));
        DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_LOOP_START), QStringLiteral("9"));
        EXPECT_EQ(Bytes(Banked()), before);
        DialogDriver::Click(Control<QPushButton>(dlg, IDCANCEL));
    });
    EXPECT_EQ(cancelled, IDCANCEL);
    const int escaped = Run(Banked(), [&](QDialog& dlg) {
        DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_LOOP_LENGTH), QStringLiteral("3"));
        DialogDriver::PressEscape(Control<QLineEdit>(dlg, IDC_LOOP_LENGTH));
        EXPECT_FALSE(dlg.isVisible());
    });
    EXPECT_EQ(escaped, IDCANCEL);
    EXPECT_EQ(Bytes(Banked()), before);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(SampleResourceDlgTest, OkWritesExactlyTheListedFields) {
    SoundResource& r = Banked();
    r.offset = 4321;
    r.volumeRest[0] = 0xAA;
    r.volumeRest[1] = 0xBB;
    r.volumeRest[2] = 0xCC;
    for (int i = 0; i < 6; ++i) {
        r.flags[i] = 0x01010101 * (i + 1);
    }
    r.word22 = 0xDEADBEEF;
    r.fileName[15] = 'Z';
    SoundResource expected = r;

    const int result = Run(r, [&](QDialog& dlg) {
        DialogDriver::Pick(Control<QComboBox>(dlg, IDC_STORAGE), 0);
        DialogDriver::Click(Control<QCheckBox>(dlg, IDC_LOOPED));
        DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_LOOP_START), QStringLiteral("10"));
        DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_LOOP_LENGTH), QStringLiteral("20"));
        DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_VOLUME), QStringLiteral("99"));
        DialogDriver::PressEnter(Control<QLineEdit>(dlg, IDC_VOLUME));
    });
    ASSERT_EQ(result, IDOK);
    expected.storage = SoundResource::kStorageExternal;
    expected.looped = 1;
    expected.loopStart = 10;
    expected.loopLength = 20;
    expected.volume = 99;
    EXPECT_EQ(Bytes(r), Bytes(expected));
    EXPECT_EQ(r.fileName[15], 'Z');
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(SampleResourceDlgTest, VolumeAboveTheRangeOpensButIsRefusedUntilCorrected) {
    Banked().volume = 200;
    Banked().volumeRest[0] = 0x55;
    const QByteArray before = Bytes(Banked());
    QString shown;
    bool stayedOpen = false;
    bool focusOnVolume = false;
    const int result = Run(Banked(), [&](QDialog& dlg) {
        auto* volume = Control<QLineEdit>(dlg, IDC_VOLUME);
        shown = volume->text();
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
        stayedOpen = dlg.isVisible();
        focusOnVolume = dlg.focusWidget() == volume && volume->selectedText() == volume->text();
        EXPECT_EQ(Bytes(Banked()), before);
        DialogDriver::Retype(volume, QStringLiteral("127"));
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
    });
    EXPECT_EQ(shown, QStringLiteral("200"));
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(focusOnVolume);
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].text,
              QStringLiteral("Please enter an integer between 0 and 127."));
    EXPECT_EQ(prompts.prompts[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Banked().volume, 127);
    // The other three bytes of the volume word are not the dialog's.
    EXPECT_EQ(Banked().volumeRest[0], 0x55);
}

TEST_F(SampleResourceDlgTest, FirstFailingCheckInExchangeOrderIsReportedFirst) {
    const QByteArray before = Bytes(Banked());
    QList<QWidget*> focused;
    Run(Banked(), [&](QDialog& dlg) {
        auto* volume = Control<QLineEdit>(dlg, IDC_VOLUME);
        auto* loopLength = Control<QLineEdit>(dlg, IDC_LOOP_LENGTH);
        auto* loopStart = Control<QLineEdit>(dlg, IDC_LOOP_START);
        DialogDriver::Retype(loopStart, QString());
        DialogDriver::Retype(loopLength, QString());
        DialogDriver::Retype(volume, QStringLiteral("128"));
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
        focused << dlg.focusWidget();
        DialogDriver::Retype(volume, QStringLiteral("0"));
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
        focused << dlg.focusWidget();
        DialogDriver::Retype(loopLength, QStringLiteral("8"));
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
        focused << dlg.focusWidget();
        EXPECT_EQ(focused, (QList<QWidget*>{volume, loopLength, loopStart}));
        EXPECT_TRUE(dlg.isVisible());
    });
    EXPECT_EQ(prompts.Texts(),
              (QStringList{"Please enter an integer between 0 and 127.", "Please enter an integer.",
                           "Please enter an integer."}));
    EXPECT_EQ(Bytes(Banked()), before);
}

TEST_F(SampleResourceDlgTest, UnknownStorageCodeOpensWithoutSelectionAndOkWritesMinusOne) {
    Banked().storage = 5;
    int selection = 0;
    const int result = Run(Banked(), [&](QDialog& dlg) {
        selection = Control<QComboBox>(dlg, IDC_STORAGE)->currentIndex();
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
    });
    EXPECT_EQ(selection, -1);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Banked().storage, -1);
}

TEST_F(SampleResourceDlgTest, WrongRecordTypeEndsWithThreeBeforeShowing) {
    SoundResource& cd = records.at(2);
    const QByteArray before = Bytes(cd);
    bool scriptRan = false;
    EXPECT_EQ(Run(cd, [&](QDialog&) { scriptRan = true; }), 3);
    EXPECT_FALSE(scriptRan);
    EXPECT_TRUE(runner.titles.isEmpty());
    EXPECT_EQ(Bytes(cd), before);
    runner.scripts.clear();
}

TEST_F(SampleResourceDlgTest, SelectTakesTheHeaderOfTheNamedFileInTheBankFolder) {
    folder.Write(QStringLiteral("new.wav"),
                 BankBuilder::Wave(BankBuilder::Pattern(300, 3), 2, 44100, 8));
    Banked().looped = 1;
    const QByteArray before = Bytes(Banked());
    QStringList afterSelect;
    const int result = Run(Banked(), [&](QDialog& dlg) {
        SelectInBrowser(dlg, QStringLiteral("new.wav"));
        afterSelect = Boxes(static_cast<CDialog&>(dlg));
        EXPECT_EQ(Bytes(Banked()), before);
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
    });
    ASSERT_EQ(picker.requests.size(), 1);
    EXPECT_EQ(picker.requests[0].initialDir, doc.GetBankFolder());
    EXPECT_TRUE(prompts.prompts.isEmpty());
    // Loop check box, volume and storage stay; the offset of a banked sample
    // is not known before the document assigns it.
    EXPECT_EQ(afterSelect, (QStringList{"12", "Sound Sample (PCM)", "new.wav", "Not known yet",
                                        "300", "0", "300", "100", "44100", "2", "8", "Bank", "1"}));
    ASSERT_EQ(result, IDOK);
    const SoundResource& r = Banked();
    EXPECT_EQ(QByteArray(r.fileName, 8), QByteArray("new.wav\0", 8));
    EXPECT_EQ(QByteArray(r.fileName + 8, 8), QByteArray(8, '\0'));
    EXPECT_EQ(r.length, 300);
    EXPECT_EQ(r.loopStart, 0);
    EXPECT_EQ(r.loopLength, 300);
    EXPECT_EQ(r.samplesPerSec, 44100);
    EXPECT_EQ(r.channels, 2);
    EXPECT_EQ(r.bitsPerSample, 8);
    EXPECT_EQ(r.storage, SoundResource::kStorageBank);
    EXPECT_EQ(r.looped, 1);
}

TEST_F(SampleResourceDlgTest, SelectForAnExternalSampleShowsFortyFour) {
    folder.Write(QStringLiteral("new.wav"), BankBuilder::Wave(QByteArray(), 1, 8000, 16));
    QString offset;
    QString length;
    Run(External(), [&](QDialog& dlg) {
        SelectInBrowser(dlg, QStringLiteral("new.wav"));
        offset = static_cast<CDialog&>(dlg).GetDlgItemText(IDC_OFFSET);
        length = static_cast<CDialog&>(dlg).GetDlgItemText(IDC_LENGTH);
    });
    // A header with no data behind it is a valid file of 44 bytes.
    EXPECT_TRUE(prompts.prompts.isEmpty());
    EXPECT_EQ(offset, QStringLiteral("44"));
    EXPECT_EQ(length, QStringLiteral("0"));
}

TEST_F(SampleResourceDlgTest, UnusableWaveFilesAreReportedInTheOrderOfTheChecks) {
    QByteArray notRiff = BankBuilder::Wave(QByteArray(10, 'x'));
    notRiff.replace(0, 4, "RIFX");
    QByteArray notPcm = BankBuilder::Wave(QByteArray(10, 'x'));
    BankBuilder::Put16(notPcm, 20, 3);
    QByteArray neither = notRiff;
    BankBuilder::Put16(neither, 20, 3);
    folder.Write(QStringLiteral("short.wav"), BankBuilder::Wave(QByteArray()).left(43));
    folder.Write(QStringLiteral("shortjunk.wav"), QByteArray(20, 'j'));
    folder.Write(QStringLiteral("notriff.wav"), notRiff);
    folder.Write(QStringLiteral("notpcm.wav"), notPcm);
    folder.Write(QStringLiteral("neither.wav"), neither);

    Run(External(), [&](QDialog& dlg) {
        const QStringList before = Boxes(static_cast<CDialog&>(dlg));
        for (const char* name : {"missing.wav", "short.wav", "shortjunk.wav", "notriff.wav",
                                 "notpcm.wav", "neither.wav"}) {
            SelectInBrowser(dlg, QString::fromLatin1(name));
            EXPECT_EQ(Boxes(static_cast<CDialog&>(dlg)), before) << name;
        }
    });
    EXPECT_EQ(prompts.Texts(),
              (QStringList{QStringLiteral("Can't open sound file.\nCheck if it's in the ") +
                               doc.GetBankFolder() + QStringLiteral(" directory"),
                           "File too short", "File too short", "Not a RIFF file",
                           "Not a PCM Wave file", "Not a RIFF file"}));
    for (const RecordingPromptSink::Prompt& prompt : prompts.prompts) {
        EXPECT_EQ(prompt.type, MB_OK | MB_ICONEXCLAMATION);
    }
}

TEST_F(SampleResourceDlgTest, WavesWithOtherChunksBecomePlainWavesOnceTheUserAgrees) {
    // The form type is not checked, and chunks of other names before the
    // format and the data are stepped over rather than read as the format.
    // The game looks for the data right after a 44-byte header, so such a
    // file is copied into a plain wave of the record's format.
    const QByteArray data = BankBuilder::Pattern(20, 4);
    QByteArray odd = BankBuilder::Wave(data, 1, 22050, 16);
    odd.replace(8, 4, "WAVX");
    QByteArray junk("junk\x06\0\0\0abcdef", 14);
    odd.insert(12, junk);
    folder.Write(QStringLiteral("odd.wav"), odd);
    QByteArray noFormat = BankBuilder::Wave(BankBuilder::Pattern(20, 4), 1, 22050, 16);
    noFormat.replace(12, 4, "junk");
    folder.Write(QStringLiteral("noformat.wav"), noFormat);
    QStringList boxes;
    QByteArray made;
    prompts.answers << IDCANCEL;
    const int result = Run(Banked(), [&](QDialog& dlg) {
        // Declined first, then agreed to.
        SelectInBrowser(dlg, QStringLiteral("odd.wav"));
        EXPECT_EQ(static_cast<CDialog&>(dlg).GetDlgItemText(IDC_FILE_NAME),
                  QStringLiteral("engine.wav"));
        SelectInBrowser(dlg, QStringLiteral("odd.wav"));
        boxes = Boxes(static_cast<CDialog&>(dlg));
        made = folder.Read(QStringLiteral("odd_1.wav"));
        SelectInBrowser(dlg, QStringLiteral("noformat.wav"));
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(boxes, (QStringList{"12", "Sound Sample (PCM)", "odd_1.wav", "Not known yet", "20",
                                  "0", "20", "100", "22050", "1", "16", "Bank", "0"}));
    EXPECT_EQ(made, BankBuilder::Wave(data, 1, 22050, 16));
    EXPECT_EQ(CBnmFormat::FileNameText(Banked()), QStringLiteral("odd_1.wav"));
    EXPECT_TRUE(folder.Exists(QStringLiteral("odd_1.wav"))) << "confirmed, the new file stays";
    ASSERT_EQ(prompts.Texts().size(), 3);
    EXPECT_TRUE(
        prompts.Texts()[0].startsWith(QStringLiteral("odd.wav (WAV, 16-bit, 22.05 kHz, mono)")))
        << qPrintable(prompts.Texts()[0]);
    EXPECT_EQ(prompts.Texts()[2], QStringLiteral("Not a PCM Wave file"));
}

TEST_F(SampleResourceDlgTest, ADataChunkClaimingMoreThanTheFileHoldsGivesWhatIsThereAndSaysSo) {
    QByteArray cut = BankBuilder::Wave(BankBuilder::Pattern(100, 7));
    BankBuilder::Put32(cut, 40, 0x80000000U);
    folder.Write(QStringLiteral("cut.wav"), cut);
    QString length;
    Run(External(), [&](QDialog& dlg) {
        SelectInBrowser(dlg, QStringLiteral("cut.wav"));
        length = static_cast<CDialog&>(dlg).GetDlgItemText(IDC_LENGTH);
    });
    EXPECT_EQ(length, QStringLiteral("100"));
    EXPECT_EQ(prompts.Texts(), QStringList{QStringLiteral(
                                   "The data chunk of cut.wav claims 2147483648 bytes, but the "
                                   "file holds only 100; the sample takes the 100 bytes "
                                   "that are there.")});
}

TEST_F(SampleResourceDlgTest, SoundFromAnotherFolderIsConvertedAndGoneAgainOnCancel) {
    // The same name in the bank's folder must not lend its values.
    folder.Write(QStringLiteral("new.wav"),
                 BankBuilder::Wave(BankBuilder::Pattern(300, 3), 2, 44100, 8));
    other.Write(QStringLiteral("new.wav"),
                BankBuilder::Wave(BankBuilder::Pattern(40, 3), 2, 22050, 16));
    QStringList boxes;
    QStringList entries;
    const int result = Run(Banked(), [&](QDialog& dlg) {
        picker.answers << other.FilePath(QStringLiteral("new.wav"));
        runner.scripts << [](QDialog& select) {
            auto& s = static_cast<CDialog&>(select);
            DialogDriver::Click(DialogDriver::Control<QCheckBox>(s, IDC_KEEP_RATE));
            DialogDriver::Click(DialogDriver::Control<QPushButton>(s, IDOK));
        };
        DialogDriver::Click(Control<QPushButton>(dlg, IDC_SELECT));
        boxes = Boxes(static_cast<CDialog&>(dlg));
        entries = folder.Entries();
        DialogDriver::Click(Control<QPushButton>(dlg, IDCANCEL));
    });
    EXPECT_EQ(result, IDCANCEL);
    // Ten stereo frames at its own rate, mixed down to the record's mono.
    EXPECT_EQ(boxes, (QStringList{"12", "Sound Sample (PCM)", "new_1.wav", "Not known yet", "20",
                                  "0", "20", "100", "22050", "1", "16", "Bank", "0"}));
    EXPECT_TRUE(entries.contains(QStringLiteral("new_1.wav")));
    EXPECT_FALSE(folder.Exists(QStringLiteral("new_1.wav"))) << "cancelled, the new file is gone";
    EXPECT_EQ(folder.Read(QStringLiteral("new.wav")),
              BankBuilder::Wave(BankBuilder::Pattern(300, 3), 2, 44100, 8));
}

// The box of Select Sound File reaches the import, which matches the sound
// the record names in the document, whatever the dialog shows by then.
TEST_F(SampleResourceDlgTest, MatchLoudnessInSelectMatchesTheRecordsOldSound) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    const QString horn = folder.FilePath(QStringLiteral("horn.wav"));
    ASSERT_FALSE(
        SoundTools::Make(horn, QStringLiteral("-r 11025 -c 2 -b 8 OUT synth 2 pinknoise gain -15"))
            .isEmpty());
    const QString loud = other.FilePath(QStringLiteral("loud.flac"));
    ASSERT_TRUE(
        SoundTools::Tone(loud, {QStringLiteral("-r"), QStringLiteral("44100")}, 2.0, 440, -2.0));
    runner.scripts << [&](QDialog& dlg) {
        for (int round = 0; round < 2; ++round) {
            picker.answers << loud;
            runner.scripts << [](QDialog& select) {
                auto& s = static_cast<CDialog&>(select);
                DialogDriver::Click(DialogDriver::Control<QCheckBox>(s, IDC_MATCH_LOUDNESS));
                DialogDriver::Click(DialogDriver::Control<QPushButton>(s, IDOK));
            };
            DialogDriver::Click(Control<QPushButton>(dlg, IDC_SELECT));
        }
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
    };
    CSampleResourceDlg dlg(&doc, &External(), 1);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    const QString made = folder.FilePath(CBnmFormat::FileNameText(External()));
    ASSERT_NE(made, horn);
    ASSERT_TRUE(QFileInfo::exists(made)) << qPrintable(prompts.Texts().join(u'|'));
    // The second Select matched horn.wav again, not the first Select's file.
    EXPECT_NEAR(SoundTools::LoudnessLufs(made), SoundTools::LoudnessLufs(horn), 0.5);
}

TEST_F(SampleResourceDlgTest, SelectCancelledOrEmptyChangesNothing) {
    folder.Write(QStringLiteral("new.wav"), BankBuilder::Wave(BankBuilder::Pattern(30, 5)));
    const QByteArray before = Bytes(Banked());
    Run(Banked(), [&](QDialog& dlg) {
        const QStringList boxes = Boxes(static_cast<CDialog&>(dlg));
        // The browser picks a file, then the selection dialog is cancelled.
        picker.answers << other.FilePath(QStringLiteral("new.wav"));
        runner.scripts << [](QDialog& select) {
            DialogDriver::Click(
                DialogDriver::Control<QPushButton>(static_cast<CDialog&>(select), IDCANCEL));
        };
        DialogDriver::Click(Control<QPushButton>(dlg, IDC_SELECT));
        EXPECT_EQ(Boxes(static_cast<CDialog&>(dlg)), boxes);
        EXPECT_TRUE(prompts.prompts.isEmpty());
        // OK with an empty name looks for the bank folder itself.
        runner.scripts << [](QDialog& select) {
            auto& s = static_cast<CDialog&>(select);
            DialogDriver::Retype(DialogDriver::Control<QLineEdit>(s, IDC_SOUND_FILE), QString());
            DialogDriver::Click(DialogDriver::Control<QPushButton>(s, IDOK));
        };
        DialogDriver::Click(Control<QPushButton>(dlg, IDC_SELECT));
        EXPECT_EQ(Boxes(static_cast<CDialog&>(dlg)), boxes);
    });
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(prompts.prompts[0].text.startsWith(QStringLiteral("Can't open sound file.")));
    EXPECT_EQ(Bytes(Banked()), before);
}

TEST_F(SampleResourceDlgTest, TypedNameIsFoundWhateverItsCase) {
    folder.Write(QStringLiteral("ENGINE2.WAV"), BankBuilder::Wave(BankBuilder::Pattern(12, 6)));
    QString name;
    Run(Banked(), [&](QDialog& dlg) {
        runner.scripts << [](QDialog& select) {
            auto& s = static_cast<CDialog&>(select);
            DialogDriver::Retype(DialogDriver::Control<QLineEdit>(s, IDC_SOUND_FILE),
                                 QStringLiteral("engine2.wav"));
            DialogDriver::Click(DialogDriver::Control<QPushButton>(s, IDOK));
        };
        DialogDriver::Click(Control<QPushButton>(dlg, IDC_SELECT));
        name = static_cast<CDialog&>(dlg).GetDlgItemText(IDC_FILE_NAME);
    });
    EXPECT_TRUE(prompts.prompts.isEmpty());
    EXPECT_EQ(name, QStringLiteral("engine2.wav"));
}

TEST_F(SampleResourceDlgTest, NameFillingAllSixteenBytesOpensWholeAndIsRefusedAtOk) {
    std::memcpy(Banked().fileName, "sixteen_char.wav", 16);
    const QByteArray before = Bytes(Banked());
    QString shown;
    bool stayedOpen = false;
    const int result = Run(Banked(), [&](QDialog& dlg) {
        shown = static_cast<CDialog&>(dlg).GetDlgItemText(IDC_FILE_NAME);
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
        stayedOpen = dlg.isVisible();
    });
    EXPECT_EQ(shown, QStringLiteral("sixteen_char.wav"));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(prompts.Texts(), QStringList{"Please enter no more than 15 characters."});
    EXPECT_EQ(Bytes(Banked()), before);
}

TEST_F(SampleResourceDlgTest, FileNameIsShownAsPlainText) {
    CBnmFormat::SetFileName(Banked(), QStringLiteral("<b>&x.wav"));
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    Run(Banked(), [&](QDialog& dlg) {
        auto* label = Control<QLabel>(dlg, IDC_FILE_NAME);
        text = label->text();
        format = label->textFormat();
    });
    EXPECT_EQ(text, QStringLiteral("<b>&x.wav"));
    EXPECT_EQ(format, Qt::PlainText);
}

} // namespace
