// Shows each property dialog on a demo record and takes a picture of it with
// ImageMagick's import, so their look can be checked by eye. Needs an X
// server (scripts/screenshot-dialogs runs it under xvfb-run).

#include "BankBuilder.h"
#include "RecordingPromptSink.h"
#include "RecordingSoundPlayer.h"
#include "ScriptedFilePicker.h"
#include "TestFolder.h"

#include "dialogs/CCdTrackResourceDlg.h"
#include "dialogs/CHeaderInfoDlg.h"
#include "dialogs/CSampleResourceDlg.h"
#include "dialogs/CSelectSoundFileDlg.h"
#include "dialogs/CSoundEventDlg.h"
#include "doc/CKantelDoc.h"
#include "framework/ui/CModalRunner.h"
#include "res/KantelResources.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTest>

#include <cstdio>

namespace {

// Shows the dialog, photographs it into the folder and closes it.
class Photographer final : public CModalRunner {
public:
    explicit Photographer(QString folder) : m_strFolder(std::move(folder)) {}

    QString name;
    bool failed = false;

    int RunModal(QDialog& dialog) override {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog)) {
            failed = true;
        }
        // Runs the event loop until it has nothing left to do (layouts that
        // wait on a zero timer), then paints every control now and hands the
        // picture to the X server before import asks for it.
        QEventLoop settle;
        for (int pass = 0; pass < 1000 && settle.processEvents(); ++pass) {
        }
        dialog.repaint();
        const QString path = QDir(m_strFolder).filePath(name + QStringLiteral(".png"));
        const int status =
            QProcess::execute(QStringLiteral("import"),
                              {QStringLiteral("-window"), QString::number(dialog.winId()), path});
        if (status != 0) {
            std::fprintf(stderr, "import failed for %s\n", qPrintable(path));
            failed = true;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
        dialog.reject();
        return dialog.result();
    }

private:
    QString m_strFolder;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    KantelResources::Register();
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog_gallery OUTPUT_FOLDER\n");
        return 2;
    }
    Photographer photographer(QString::fromLocal8Bit(argv[1]));
    CSeam<CModalRunner>::Guard runnerGuard(&photographer);
    RecordingPromptSink prompts;
    RecordingSoundPlayer sound;
    ScriptedFilePicker picker; // every browser is cancelled

    TestFolder folder;
    BankBuilder b;
    b.bank = 1;
    b.AddEvent(3, SoundEvent::kTypePitch, (1U << 16U) | 4U, 49152, 65536).stopable = 1;
    SoundResource& sample = b.AddSample(1042, QStringLiteral("engine_idle.wav"),
                                        BankBuilder::Pattern(8000, 1), true, 22050, 16, 1);
    sample.looped = 1;
    sample.loopStart = 1200;
    sample.loopLength = 6800;
    b.AddCdTrack(2001, 7);
    folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build());
    CKantelDoc doc;
    if (!doc.LoadBankAndNames(folder.FilePath(QStringLiteral("Bnk_1.bnm")))) {
        return 1;
    }

    SoundResource shown = doc.Resources()[0];
    SoundResource track = doc.Resources()[1];
    SoundEvent event = doc.Events()[0];

    photographer.name = QStringLiteral("sample-resource");
    CSampleResourceDlg(&doc, &shown).DoModal();

    photographer.name = QStringLiteral("select-sound-file");
    CSelectSoundFileDlg select;
    select.m_strDirectory = doc.GetBankFolder();
    select.m_strFileName = QStringLiteral("engine_idle.wav");
    select.DoModal();

    photographer.name = QStringLiteral("cd-track-resource");
    CCdTrackResourceDlg(&track).DoModal();

    photographer.name = QStringLiteral("sound-event");
    CSoundEventDlg(&event).DoModal();

    photographer.name = QStringLiteral("header-info");
    CHeaderInfoDlg::ShowFigures(doc.GetHeaderFigures());

    return photographer.failed ? 1 : 0;
}
