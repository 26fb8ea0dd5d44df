// The bank check on banks, names files, wave files and other banks that the
// tests compose: each kind of finding on the record it belongs to, nothing on
// what is consistent, and no file in the folder waited on or changed.
#include "BankBuilder.h"
#include "QtPrinters.h"
#include "TestFolder.h"

#include "format/CBankChecker.h"
#include "format/CBankReader.h"
#include "format/CBnmFormat.h"
#include "format/CNamesFileReader.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <utility>
#include <vector>

namespace {

using Finding = CBankChecker::Finding;
using Kind = Finding::Kind;
using Record = Finding::Record;

constexpr qsizetype kResourceTableAt = 12;
constexpr qsizetype kSampleDataAt = 20;
constexpr qsizetype kOffsetInRecord = 16;

// A finding as the tests compare it: what, and on which record.
struct Seen {
    Kind kind;
    Record record;
    int index;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s) {
    return os << qPrintable(CBankChecker::KindName(s.kind)) << " on "
              << qPrintable(CBankChecker::RecordName(s.record)) << ' ' << s.index;
}

class BankCheckerClass : public ::testing::Test {
protected:
    // Checks bytes as the bank name in the test folder (or, with an empty
    // name, as a bank that came from a stream).
    std::vector<Finding> Check(const QByteArray& bytes, const QString& name = "Bnk_1.bnm") {
        const QString path = name.isEmpty() ? QString() : folder.Write(name, bytes);
        CResult<BankImage> read = CBankReader::Read(bytes, path.isEmpty() ? "stdin" : path);
        EXPECT_TRUE(read.Ok());
        if (!read) {
            return {};
        }
        image = std::move(read.Value());
        names = NamesTable();
        if (!path.isEmpty()) {
            CResult<NamesTable> table = CNamesFileReader::ReadBeside(path, image.resourceCount);
            if (table) {
                names = std::move(table.Value());
            }
        }
        CBankChecker::Bank bank;
        bank.records = {image.header,
                        {image.resources, static_cast<size_t>(image.resourceCount)},
                        {image.events, static_cast<size_t>(image.eventCount)},
                        image.bank,
                        names.names.get(),
                        &names.firstOfId};
        if (names.names) {
            bank.names = {names.names.get(), static_cast<size_t>(image.resourceCount)};
        }
        bank.image = {reinterpret_cast<const char*>(image.data.get()),
                      static_cast<qsizetype>(image.size)};
        bank.fileSize = image.size;
        bank.path = path;
        return CBankChecker(bank).Check();
    }
    static std::vector<Seen> Kinds(const std::vector<Finding>& findings) {
        std::vector<Seen> seen;
        for (const Finding& f : findings) {
            seen.push_back({f.kind, f.record, f.index});
        }
        return seen;
    }
    // A names file naming every id given.
    void Names(const QString& bank, std::initializer_list<int> ids) const {
        QByteArray text = "[body res]\r\n";
        for (int id : ids) {
            text += QByteArray::number(id) + " \"N" + QByteArray::number(id) + "\" \"d\"\r\n";
        }
        folder.Write(bank.left(bank.size() - 3) + "bns", text);
    }
    // Another bank of the folder with that many resources and events.
    void OtherBank(const QString& name, int number, int resources, int events) const {
        BankBuilder b;
        b.bank = number;
        for (int i = 0; i < events; ++i) {
            b.AddEvent(i, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(number, 0));
        }
        for (int i = 0; i < resources; ++i) {
            b.AddCdTrack(i, 2);
        }
        folder.Write(name, b.Build());
    }

    TestFolder folder;
    BankImage image;
    NamesTable names;
};

// A bank as the editor leaves it: nothing to find.
TEST_F(BankCheckerClass, ConsistentBankWithItsFilesHasNoFindings) {
    BankBuilder b;
    b.bank = 1;
    const QByteArray banked = BankBuilder::Pattern(400, 1);
    const QByteArray external = BankBuilder::Pattern(300, 2);
    b.AddSample(1, "engine.wav", banked, true).looped = 1;
    b.resources.back().loopStart = 100;
    b.resources.back().loopLength = 300;
    b.AddSample(2, "Horn.wav", external, false, 44100, 8, 2);
    b.AddSample(3, "", BankBuilder::Pattern(50, 3), true); // named when opened
    b.AddSample(4, "bnk_1.BNM", BankBuilder::Pattern(60, 4), true);
    b.AddCdTrack(5, 2);
    b.AddEvent(100, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(1, 4));
    b.AddEvent(101, SoundEvent::kTypeStop, CBnmFormat::MakeTarget(1, 0));
    b.AddEvent(102, SoundEvent::kTypePitch, CBnmFormat::MakeTarget(0, 2), 65536, 65536);
    b.AddEvent(103, SoundEvent::kTypeStop, CBnmFormat::MakeTarget(3, 1));
    b.AddEvent(104, SoundEvent::kTypeEffect, 0xFFFFFFFFU);
    b.AddEvent(105, 12, 0xFFFFFFFFU);
    folder.Write("ENGINE.WAV", BankBuilder::Wave(banked));
    // Its data come after a chunk that is longer than a first read of the file.
    QByteArray horn = BankBuilder::Wave(external, 2, 44100, 8);
    QByteArray junk = "JUNK" + QByteArray(4, '\0') + QByteArray(6000, 'j');
    BankBuilder::Put32(junk, 4, 6000);
    horn.insert(36, junk);
    folder.Write("horn.wav", horn);
    OtherBank("Bnk_0.bnm", 0, 3, 1);
    OtherBank("BNK_3.bnm", 3, 1, 2); // another case, as a Windows game's folder has it
    Names("Bnk_1.bnm", {1, 2, 3, 4, 5});
    EXPECT_EQ(Kinds(Check(b.Build())), std::vector<Seen>{});
}

TEST_F(BankCheckerClass, TargetsThatLeadNowhereAreFoundOnTheirEvents) {
    BankBuilder b;
    b.bank = 1;
    b.AddCdTrack(1, 2);
    b.AddCdTrack(2, 3);
    const auto target = CBnmFormat::MakeTarget;
    b.AddEvent(10, SoundEvent::kTypePlay, target(1, 2));         // 0: past this bank's two
    b.AddEvent(11, SoundEvent::kTypeStop, target(1, 10));        // 1: no such event here
    b.AddEvent(12, SoundEvent::kTypeVolume, target(7, 0));       // 2: no bank 7
    b.AddEvent(13, SoundEvent::kTypePlay, target(0, 0));         // 3: Bnk_0 is missing
    b.AddEvent(14, SoundEvent::kTypePitch, target(0, 1));        // 4: told once only
    b.AddEvent(15, SoundEvent::kTypePlay, target(2, 3));         // 5: Bnk_2 has 3 resources
    b.AddEvent(16, SoundEvent::kTypePlay, target(2, 2));         // 6: its last one
    b.AddEvent(17, SoundEvent::kTypeStop, target(2, 4));         // 7: and 4 events
    b.AddEvent(18, SoundEvent::kTypeStop, target(1, 8));         // 8: this bank's last event
    b.AddEvent(19, SoundEvent::kTypeStop, target(65535, 65535)); // 9
    OtherBank("bnk_2.bnm", 2, 3, 4);
    Names("Bnk_1.bnm", {1, 2});
    const std::vector<Finding> findings = Check(b.Build());
    EXPECT_EQ(Kinds(findings), (std::vector<Seen>{
                                   {Kind::TargetPastEnd, Record::Event, 0},
                                   {Kind::StopTargetMissing, Record::Event, 1},
                                   {Kind::BankOutOfRange, Record::Event, 2},
                                   {Kind::OtherBankMissing, Record::Event, 3},
                                   {Kind::TargetPastEnd, Record::Event, 5},
                                   {Kind::StopTargetMissing, Record::Event, 7},
                                   {Kind::BankOutOfRange, Record::Event, 9},
                               }));
    ASSERT_EQ(findings.size(), 7U);
    EXPECT_EQ(findings[0].text, "Its target, resource 2 of this bank, lies past the end of the "
                                "table: this bank has 2 resources.");
    EXPECT_EQ(findings[0].id, 10);
    EXPECT_EQ(CBankChecker::RecordLabel(findings[0]), "event 0 (id 10)");
    EXPECT_TRUE(findings[3].text.contains(folder.Path())) << qPrintable(findings[3].text);
    EXPECT_EQ(findings[3].file, folder.FilePath("Bnk_0.bnm"));
    EXPECT_EQ(findings[4].text, "Its target, resource 3 of bnk_2.bnm, lies past the end of the "
                                "table: bnk_2.bnm has 3 resources.");
    EXPECT_EQ(findings[5].text,
              "It stops event 4 of bnk_2.bnm, which does not exist: bnk_2.bnm has 4 events.");
}

// Another bank's table is measured from its header: one that is no bank, or
// is no file at all, is told of once and never waited on.
TEST_F(BankCheckerClass, OtherBanksThatAreNoBanksAreToldOfOnce) {
    BankBuilder b;
    b.bank = 1;
    b.AddCdTrack(1, 2);
    b.AddEvent(10, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(0, 0));
    b.AddEvent(11, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(2, 0));
    b.AddEvent(12, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(3, 0));
    b.AddEvent(13, SoundEvent::kTypeStop, CBnmFormat::MakeTarget(3, 0));
    Names("Bnk_1.bnm", {1});
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.FilePath("Bnk_0.bnm")).constData(), 0600), 0);
    folder.Write("Bnk_2.bnm", QByteArray(36, '\0'));
    // A header that claims tables the file does not hold.
    QByteArray cut(40, '\0');
    BankBuilder::Put32(cut, kResourceTableAt, 4000);
    folder.Write("Bnk_3.bnm", cut);
    const std::vector<Finding> findings = Check(b.Build());
    EXPECT_EQ(Kinds(findings), (std::vector<Seen>{
                                   {Kind::OtherBankMissing, Record::Event, 0},
                                   {Kind::OtherBankMissing, Record::Event, 1},
                                   {Kind::OtherBankMissing, Record::Event, 2},
                               }));
    ASSERT_EQ(findings.size(), 3U);
    EXPECT_TRUE(findings[0].text.contains("is not a regular file")) << qPrintable(findings[0].text);
    EXPECT_TRUE(findings[1].text.contains("too short to be a bank"))
        << qPrintable(findings[1].text);
    // Longer than a header, it is no short bank but no bank at all.
    EXPECT_TRUE(findings[2].text.contains("is no bank: its header places its tables outside it"))
        << qPrintable(findings[2].text);
}

TEST_F(BankCheckerClass, WaveFilesThatDoNotMatchTheirRecords) {
    BankBuilder b;
    b.bank = 1;
    const QByteArray data = BankBuilder::Pattern(200, 1);
    b.AddSample(1, "missing.wav", data, false);   // 0
    b.AddSample(2, "fifo.wav", data, false);      // 1
    b.AddSample(3, "text.wav", data, false);      // 2
    b.AddSample(4, "float.wav", data, false);     // 3
    b.AddSample(5, "format.wav", data, true);     // 4: banked, its wave is the sample
    b.AddSample(6, "short.wav", data, false);     // 5
    b.AddSample(7, "cut.wav", data, false);       // 6
    b.AddSample(8, "", data, false);              // 7: external without a file
    b.AddSample(9, "../up.wav", data, false);     // 8
    b.AddSample(10, "fine.wav", data, false);     // 9
    b.AddSample(11, "unwritten.wav", data, true); // 10: opening writes it
    b.AddSample(12, "dangling.wav", data, false); // 11: a link to nothing
    b.AddSample(13, "linked.wav", data, false);   // 12: a link to a wave
    b.AddSample(14, "BNK_1.bnm", data, false);    // 13: the bank itself
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.FilePath("fifo.wav")).constData(), 0600), 0);
    folder.Write("text.wav", "not a wave file at all");
    QByteArray floating = BankBuilder::Wave(data, 1, 22050, 32);
    BankBuilder::Put16(floating, 20, 3);
    folder.Write("float.wav", floating);
    folder.Write("format.wav", BankBuilder::Wave(data, 2, 11025, 8));
    folder.Write("short.wav", BankBuilder::Wave(data.left(150)));
    // A data chunk that claims all of it, in a file a write cut short.
    folder.Write("cut.wav", BankBuilder::Wave(data).left(44 + 120));
    folder.Write("fine.wav", BankBuilder::Wave(data));
    folder.Write("up.wav", BankBuilder::Wave(data));
    ASSERT_TRUE(QFile::link(folder.FilePath("gone.wav"), folder.FilePath("dangling.wav")));
    ASSERT_TRUE(QFile::link(folder.FilePath("fine.wav"), folder.FilePath("linked.wav")));
    Names("Bnk_1.bnm", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    const std::vector<Finding> findings = Check(b.Build());
    EXPECT_EQ(Kinds(findings), (std::vector<Seen>{
                                   {Kind::WaveMissing, Record::Resource, 0},
                                   {Kind::WaveUnreadable, Record::Resource, 1},
                                   {Kind::WaveUnreadable, Record::Resource, 2},
                                   {Kind::WaveNotPcm, Record::Resource, 3},
                                   {Kind::WaveFormatDiffers, Record::Resource, 4},
                                   {Kind::WaveLengthDiffers, Record::Resource, 5},
                                   {Kind::WaveLengthDiffers, Record::Resource, 6},
                                   {Kind::WaveMissing, Record::Resource, 7},
                                   {Kind::WaveUnreadable, Record::Resource, 8},
                                   {Kind::WaveUnreadable, Record::Resource, 11},
                                   {Kind::WaveUnreadable, Record::Resource, 13},
                                   // the file "../up.wav" does not reach
                                   {Kind::WaveUnused, Record::Bank, -1},
                               }));
    ASSERT_EQ(findings.size(), 12U);
    EXPECT_EQ(findings[11].file, folder.FilePath("up.wav"));
    EXPECT_EQ(findings[0].file, folder.FilePath("missing.wav"));
    EXPECT_EQ(findings[4].text, QString("Its wave file %1 holds 11025 Hz, 8 bits, 2 channels, but "
                                        "the record says 22050 Hz, 16 bits, 1 channel.")
                                    .arg(folder.FilePath("format.wav")));
    EXPECT_EQ(findings[5].text,
              QString("Its wave file %1 holds 150 bytes of sample data, but the record says 200.")
                  .arg(folder.FilePath("short.wav")));
    EXPECT_TRUE(findings[6].text.endsWith("Its data chunk claims 200: the file was cut short."))
        << qPrintable(findings[6].text);
    EXPECT_TRUE(QFileInfo(folder.FilePath("fifo.wav")).exists());
}

TEST_F(BankCheckerClass, LoopsAndBankedDataOutsideTheirBounds) {
    BankBuilder b;
    b.bank = 1;
    const auto add = [&b](int id, int length) -> SoundResource& {
        return b.AddSample(id, "", BankBuilder::Pattern(length, id), true);
    };
    add(1, 100).looped = 1; // 0: loop 50 + 51 runs one byte past
    b.resources.back().loopStart = 50;
    b.resources.back().loopLength = 51;
    add(2, 100).looped = 1; // 1: a negative start
    b.resources.back().loopStart = -1;
    b.resources.back().loopLength = 10;
    add(3, 100).looped = 0; // 2: an unlooped sample's loop is not played
    b.resources.back().loopLength = 1000;
    add(4, 100); // 3: made to overlap 2
    add(5, 100); // 4: made to lie past the end
    add(6, 100); // 5: a negative offset
    Names("Bnk_1.bnm", {1, 2, 3, 4, 5, 6});
    QByteArray bytes = b.Build();
    const qsizetype table = BankBuilder::Get32(bytes, kResourceTableAt);
    BankBuilder::Put32(bytes, table + 3 * 92 + kOffsetInRecord, 250);
    BankBuilder::Put32(bytes, table + 4 * 92 + kOffsetInRecord, 560);
    BankBuilder::Put32(bytes, table + 5 * 92 + kOffsetInRecord, 0xFFFFFFF0U);
    const std::vector<Finding> findings = Check(bytes);
    EXPECT_EQ(Kinds(findings), (std::vector<Seen>{
                                   {Kind::LoopPastData, Record::Resource, 0},
                                   {Kind::LoopPastData, Record::Resource, 1},
                                   {Kind::DataOverlaps, Record::Resource, 3},
                                   {Kind::DataOutsideFile, Record::Resource, 4},
                                   {Kind::DataOutsideFile, Record::Resource, 5},
                               }));
    ASSERT_EQ(findings.size(), 5U);
    EXPECT_EQ(findings[2].text,
              "Its data (bytes 250 to 349 of the sample data) overlap those of resource 2 (id 3).");
}

// Data that overlap are told on the later record, whichever comes first in
// the sample area.
TEST_F(BankCheckerClass, OverlapIsToldOnTheLaterRecord) {
    BankBuilder b;
    b.AddSample(1, "", BankBuilder::Pattern(100, 1), true);
    b.AddSample(2, "", BankBuilder::Pattern(100, 2), true);
    b.AddSample(3, "", BankBuilder::Pattern(100, 3), true);
    QByteArray bytes = b.Build();
    const qsizetype table = BankBuilder::Get32(bytes, kResourceTableAt);
    // Resource 2 at 0, over resource 0, which moves to 50.
    BankBuilder::Put32(bytes, table + 0 * 92 + kOffsetInRecord, 50);
    BankBuilder::Put32(bytes, table + 2 * 92 + kOffsetInRecord, 0);
    EXPECT_EQ(Kinds(Check(bytes, "")), (std::vector<Seen>{
                                           {Kind::DataOverlaps, Record::Resource, 1},
                                           {Kind::DataOverlaps, Record::Resource, 2},
                                       }));
}

TEST_F(BankCheckerClass, SamplesSharingAWaveFileMustHaveTheSameData) {
    BankBuilder b;
    b.bank = 1;
    const QByteArray same = BankBuilder::Pattern(100, 1);
    b.AddSample(1, "a.wav", same, true);                         // 0
    b.AddSample(2, "A.WAV", same, true);                         // 1: the same data
    b.AddSample(3, "a.wav", BankBuilder::Pattern(100, 2), true); // 2: other bytes
    b.AddSample(4, "x.wav", same, false);                        // 3
    b.AddSample(5, "x.wav", same, false, 11025);                 // 4: another rate
    folder.Write("x.wav", BankBuilder::Wave(same));
    Names("Bnk_1.bnm", {1, 2, 3, 4, 5});
    const std::vector<Finding> findings = Check(b.Build());
    EXPECT_EQ(Kinds(findings), (std::vector<Seen>{
                                   {Kind::SharedWaveDiffers, Record::Resource, 2},
                                   {Kind::WaveFormatDiffers, Record::Resource, 4},
                                   {Kind::SharedWaveDiffers, Record::Resource, 4},
                               }));
}

TEST_F(BankCheckerClass, IdsGivenTwiceAndNamesThatMatchNothing) {
    BankBuilder b;
    b.bank = 1;
    b.AddCdTrack(1, 2);
    b.AddCdTrack(2, 2);
    b.AddCdTrack(1, 3);         // 2: the id of 0
    b.AddCdTrack(65536 + 2, 4); // 3: its own id, but named as 2 is
    b.AddCdTrack(7, 4);         // 4: no name
    b.AddEvent(5, SoundEvent::kTypeEffect, 1);
    b.AddEvent(5, SoundEvent::kTypeEffect, 2); // 1
    b.AddEvent(6, SoundEvent::kTypeEffect, 3);
    // The second line has nothing but blanks: an entry with no id.
    folder.Write("Bnk_1.bns", "[body res]\n1 \"One\"\n  \n2 \"Two\"\n40 \"Ghost\"\n");
    const std::vector<Finding> findings = Check(b.Build());
    EXPECT_EQ(Kinds(findings), (std::vector<Seen>{
                                   {Kind::DuplicateResourceId, Record::Resource, 2},
                                   {Kind::DuplicateEventId, Record::Event, 1},
                                   {Kind::ResourceWithoutName, Record::Resource, 4},
                                   {Kind::NameWithoutResource, Record::NamesEntry, 3},
                               }));
    ASSERT_EQ(findings.size(), 4U);
    EXPECT_EQ(findings[0].text, "Its id 1 is also that of resource 0 (id 1).");
    EXPECT_EQ(findings[3].text, "It names the id 40 (\"Ghost\"), which no resource has.");
    EXPECT_EQ(findings[3].id, 40);
    EXPECT_EQ(CBankChecker::RecordLabel(findings[3]), "names entry 3 (id 40)");
}

// Without names every resource lacks one: that is one finding, not one per
// resource.
TEST_F(BankCheckerClass, ANamesFileThatGivesNoNamesIsOneFinding) {
    BankBuilder b;
    b.bank = 1;
    b.AddCdTrack(1, 2);
    b.AddCdTrack(2, 2);
    const QByteArray bytes = b.Build();
    std::vector<Finding> findings = Check(bytes);
    ASSERT_EQ(Kinds(findings), (std::vector<Seen>{{Kind::NoNames, Record::Bank, -1}}));
    EXPECT_EQ(findings[0].file, folder.FilePath("Bnk_1.bns"));
    EXPECT_EQ(CBankChecker::RecordLabel(findings[0]), "bank");

    folder.Write("BNK_1.BNS", "no body here\n");
    findings = Check(bytes);
    ASSERT_EQ(Kinds(findings), (std::vector<Seen>{{Kind::NoNames, Record::Bank, -1}}));
    EXPECT_TRUE(findings[0].text.contains("[body res]")) << qPrintable(findings[0].text);
    EXPECT_EQ(findings[0].file, folder.FilePath("BNK_1.BNS"));

    folder.Remove("BNK_1.BNS");
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.FilePath("Bnk_1.bns")).constData(), 0600), 0);
    findings = Check(bytes);
    ASSERT_EQ(Kinds(findings), (std::vector<Seen>{{Kind::NoNames, Record::Bank, -1}}));
    EXPECT_TRUE(findings[0].text.contains("not a regular file")) << qPrintable(findings[0].text);
}

TEST_F(BankCheckerClass, TablesTheHeaderRegionCannotHoldAreToldOf) {
    BankBuilder b;
    b.AddCdTrack(1, 2);
    QByteArray bytes = b.Build();
    BankBuilder::Put32(bytes, 16, 5);
    const std::vector<Finding> findings = Check(bytes, "");
    ASSERT_EQ(Kinds(findings), (std::vector<Seen>{{Kind::TableCut, Record::Bank, -1}}));
    EXPECT_TRUE(findings[0].text.startsWith("The header lists 5 resources, but only 1 lie"));
}

// A bank from a stream has no folder: only what the bank itself holds is
// checked, and nothing is looked for in the current folder.
TEST_F(BankCheckerClass, ABankWithoutAFolderIsCheckedOnItsOwn) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, "missing.wav", BankBuilder::Pattern(10, 1), false);
    b.AddSample(1, "", BankBuilder::Pattern(10, 1), true);
    b.AddEvent(1, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(0, 5));
    b.AddEvent(2, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(1, 5));
    b.AddEvent(3, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(4, 5));
    EXPECT_EQ(Kinds(Check(b.Build(), "")), (std::vector<Seen>{
                                               {Kind::TargetPastEnd, Record::Event, 1},
                                               {Kind::BankOutOfRange, Record::Event, 2},
                                               {Kind::DuplicateResourceId, Record::Resource, 1},
                                           }));
}

// Wave files no bank of the folder names are told, once each, and stay.
TEST_F(BankCheckerClass, WaveFilesNoBankNamesAreToldAndKept) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, "engine.wav", BankBuilder::Pattern(40, 1), false);
    // Unnamed: opening would call it after its names-file name, N2.
    b.AddSample(2, "", BankBuilder::Pattern(50, 2), true);
    Names("Bnk_1.bnm", {1, 2});
    BankBuilder other;
    other.bank = 0;
    other.AddSample(7, "SKID.WAV", BankBuilder::Pattern(30, 3), false);
    folder.Write("Bnk_0.bnm", other.Build());
    for (const char* name : {"Engine.wav", "skid.wav", "N2.wav", "old.WAV", "older.wav",
                             "K00000001.wav", "notes.txt"}) {
        folder.Write(QString::fromLatin1(name), BankBuilder::Wave(BankBuilder::Pattern(40, 1)));
    }
    ASSERT_TRUE(QDir(folder.Path()).mkdir("folder.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.FilePath("pipe.wav")).constData(), 0600), 0);
    folder.Write("Bnk_1.bnm", b.Build());
    const QStringList before = folder.Entries();

    const std::vector<Finding> findings = Check(b.Build());
    std::vector<Finding> leftovers;
    for (const Finding& f : findings) {
        if (f.kind == Kind::WaveUnused) {
            leftovers.push_back(f);
        }
    }
    ASSERT_EQ(leftovers.size(), 2U) << "of " << findings.size();
    EXPECT_EQ(leftovers[0].file, folder.FilePath("old.WAV"));
    EXPECT_EQ(leftovers[1].file, folder.FilePath("older.wav"));
    EXPECT_EQ(leftovers[0].record, Record::Bank);
    EXPECT_TRUE(leftovers[0].text.contains(folder.FilePath("old.WAV")));
    EXPECT_EQ(CBankChecker::KindName(Kind::WaveUnused), "waveUnused");
    EXPECT_EQ(folder.Entries(), before) << "nothing is deleted";

    // A bank of the folder that cannot be read might name any of them.
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.FilePath("Bnk_2.bnm")).constData(), 0600), 0);
    for (const Finding& f : Check(b.Build())) {
        EXPECT_NE(f.kind, Kind::WaveUnused) << qPrintable(f.text);
    }
}

} // namespace
