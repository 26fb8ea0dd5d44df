#include "BankBuilder.h"
#include "TestFolder.h"

#include "doc/CWavePeaksLoader.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Delivery {
    QString path;
    CWavePeaksLoader::Peaks peaks;
    Qt::HANDLE thread;
};

class WavePeaksLoader : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        s_app = std::make_unique<QCoreApplication>(argc, argv);
    }
    static void TearDownTestSuite() { s_app.reset(); }

    // Runs the event loop until pred holds or five seconds have passed.
    template <class Pred> static bool RunUntil(Pred pred) {
        QDeadlineTimer deadline(5000);
        while (!pred() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(1);
        }
        return pred();
    }

    QString WriteWave(const QString& name, int bytes, quint16 channels = 2) {
        return folder.Write(name,
                            BankBuilder::Wave(BankBuilder::Pattern(bytes, 7), channels, 44100, 16));
    }

    TestFolder folder;
    std::vector<Delivery> deliveries;
    CWavePeaksLoader loader{[this](const QString& path, const CWavePeaksLoader::Peaks& peaks) {
        deliveries.push_back({path, peaks, QThread::currentThreadId()});
    }};

private:
    static inline std::unique_ptr<QCoreApplication> s_app;
};

TEST_F(WavePeaksLoader, ResultArrivesOnTheAskingThreadOnlyThroughItsEventLoop) {
    const QString path = WriteWave(QStringLiteral("a.wav"), 40000);
    loader.Load(path);
    EXPECT_TRUE(loader.IsBusy());
    // Nothing is handed over from inside Load or from the worker, even once
    // the worker is done.
    EXPECT_TRUE(deliveries.empty());
    loader.WaitForWorker();
    EXPECT_TRUE(deliveries.empty());
    ASSERT_TRUE(RunUntil([this] { return !deliveries.empty(); }));
    EXPECT_FALSE(loader.IsBusy());
    ASSERT_EQ(deliveries.size(), 1U);
    EXPECT_EQ(deliveries[0].path, path);
    EXPECT_EQ(deliveries[0].thread, QThread::currentThreadId());
    ASSERT_NE(deliveries[0].peaks, nullptr);
    EXPECT_EQ(deliveries[0].peaks->Frames(), 10000);
}

TEST_F(WavePeaksLoader, OnlyTheNewestRequestIsAnswered) {
    // Large files, so that the first reads are still under way when the
    // selection moves on.
    const QString first = WriteWave(QStringLiteral("first.wav"), 8 << 20);
    const QString second = WriteWave(QStringLiteral("second.wav"), 8 << 20);
    const QString last = WriteWave(QStringLiteral("last.wav"), 4000, 1);
    loader.Load(first);
    loader.Load(second);
    loader.Load(last);
    ASSERT_TRUE(RunUntil([this] { return !loader.IsBusy(); }));
    // Whatever the abandoned reads managed is never seen.
    loader.WaitForWorker();
    QCoreApplication::processEvents();
    ASSERT_EQ(deliveries.size(), 1U);
    EXPECT_EQ(deliveries[0].path, last);
    EXPECT_EQ(deliveries[0].peaks->Channels(), 1);

    // A missing file is an answer too; a cancelled request has none.
    loader.Load(folder.FilePath(QStringLiteral("missing.wav")));
    ASSERT_TRUE(RunUntil([this] { return deliveries.size() == 2; }));
    EXPECT_EQ(deliveries[1].peaks->GetProblem(), CWavePeaks::Problem::Unreadable);
    loader.Load(first);
    loader.Cancel();
    EXPECT_FALSE(loader.IsBusy());
    loader.WaitForWorker();
    QCoreApplication::processEvents();
    EXPECT_EQ(deliveries.size(), 2U);
}

TEST_F(WavePeaksLoader, GoingAwayDuringAReadWaitsForTheWorker) {
    const QString big = WriteWave(QStringLiteral("big.wav"), 16 << 20);
    int delivered = 0;
    {
        CWavePeaksLoader doomed(
            [&delivered](const QString&, const CWavePeaksLoader::Peaks&) { ++delivered; });
        doomed.Load(big);
    }
    // The worker held nothing of the loader: the sanitizers would say so.
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, 0);
}

} // namespace
