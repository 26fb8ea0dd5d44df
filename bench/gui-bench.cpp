// Measures the editor's list windows, offscreen, in one process:
//
// - refreshing a resource view (refill from the document and one paint of
//   the rows that show) on a bank of many resources against one of few: the
//   list is virtual, so the two should cost about the same;
// - opening a bank and showing its first window against `cat` of the same
//   file, and against `cat` of it and its names file with `ls -f` of its
//   folder (what opening must read), all with the files in the page cache;
// - filtering the long list on a name and sorting it by a number column,
//   against a budget of 100 ms each. The first open of a bank
//   writes its banked samples out as wave files; every later open finds them.
//
//   kantel-gui-bench SMALL_BANK LARGE_BANK [RUNS]
//
// Each figure is the median of RUNS runs (default 15). Prints the figures and
// the two ratios; exits with 1 when a ratio is above its bound (1.5 for the
// refresh, 2 for the open against what it must read).

#include "app/CKantelApp.h"
#include "app/CMainFrame.h"
#include "doc/CKantelDoc.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CMDIChildWnd.h"
#include "framework/ui/CSettingsStore.h"
#include "views/CKantelView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The editor's settings in the run's own folder, never the user's.
class IniFileStore final : public CSettingsStore {
public:
    explicit IniFileStore(QString file) : m_strFile(std::move(file)) {}
    std::unique_ptr<QSettings> Open(const QString& /*organization*/,
                                    const QString& /*application*/) override {
        return std::make_unique<QSettings>(m_strFile, QSettings::IniFormat);
    }

private:
    QString m_strFile;
};

constexpr double kRefreshBound = 1.5;
constexpr double kOpenBound = 2.0;
// Milliseconds a filter or a sort of the long list may take.
constexpr double kArrangeBudget = 100.0;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Milliseconds that work takes, median of runs.
double Measure(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return Median(times);
}

CKantelView* ResourceViewOf(CMDIChildWnd* pWindow) {
    return pWindow != nullptr ? dynamic_cast<CKantelView*>(pWindow->GetActiveView()) : nullptr;
}

// Opens path as File Open does and paints the window it gets; the window.
CMDIChildWnd* OpenAndShow(CKantelApp& app, CMainFrame& frame, const QString& path) {
    if (app.OpenDocumentFile(path) == nullptr) {
        return nullptr;
    }
    CMDIChildWnd* pWindow = frame.MDIGetActive();
    frame.repaint();
    return pWindow;
}

void CloseAll(CKantelApp& app) {
    app.CloseAllDocuments(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int Fail(const char* what) {
    std::fprintf(stderr, "kantel-gui-bench: %s\n", what);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: kantel-gui-bench SMALL_BANK LARGE_BANK [RUNS]\n");
        return 2;
    }
    const QString small = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString large = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const int runs = argc == 4 ? std::max(1, std::atoi(argv[3])) : 15;

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int appArgc = 1;
    QApplication application(appArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir home;
    IniFileStore settings(home.filePath(QStringLiteral("settings.ini")));
    CSeam<CSettingsStore>::Guard settingsGuard(&settings);
    qputenv("WINEPREFIX", home.filePath(QStringLiteral("wine")).toLocal8Bit());
    qputenv("KANTEL_INSTANCE_KEY", "none");

    CKantelApp app;
    if (!app.InitInstance()) {
        return Fail("the editor did not start");
    }
    auto* pFrame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
    pFrame->setGeometry(0, 0, 1280, 800);
    pFrame->repaint();

    // First opens: these write the banks' samples out as wave files.
    QElapsedTimer timer;
    timer.start();
    CMDIChildWnd* pSmall = OpenAndShow(app, *pFrame, small);
    const double firstSmall = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    CMDIChildWnd* pLarge = OpenAndShow(app, *pFrame, large);
    const double firstLarge = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    CKantelView* pSmallView = ResourceViewOf(pSmall);
    CKantelView* pLargeView = ResourceViewOf(pLarge);
    if (pSmallView == nullptr || pLargeView == nullptr) {
        return Fail("a bank did not open");
    }
    const int smallRows = pSmallView->GetListCtrl().GetItemCount();
    const int largeRows = pLargeView->GetListCtrl().GetItemCount();

    // Both lists in windows of one size, so they paint the same rows.
    for (CMDIChildWnd* pWindow : {pSmall, pLarge}) {
        pWindow->showNormal();
        pWindow->setGeometry(0, 0, 1200, 640);
    }
    // Each list is measured in the active window, on top of the other, so
    // that both paint the same number of rows.
    const auto refresh = [](CKantelView* pView) {
        pView->GetParentFrame()->MDIActivate();
        QCoreApplication::processEvents();
        return [pView] {
            pView->GetDocument()->UpdateAllViews(nullptr);
            pView->GetListCtrl().viewport()->repaint();
        };
    };
    // Warm both up once, then take turns so that neither gets the quieter
    // moments of the machine.
    refresh(pSmallView)();
    refresh(pLargeView)();
    std::vector<double> smallTimes;
    std::vector<double> largeTimes;
    for (int i = 0; i < runs * 4; ++i) {
        smallTimes.push_back(Measure(1, refresh(pSmallView)));
        largeTimes.push_back(Measure(1, refresh(pLargeView)));
    }
    const double refreshSmall = Median(smallTimes);
    const double refreshLarge = Median(largeTimes);

    // Filtering and sorting the long list, each with the paint that shows
    // it, against the budget of a tenth of a second a user does not wait
    // for. Each run starts from the whole list in table order.
    CListCtrl& largeList = pLargeView->GetListCtrl();
    const auto arranged = [&largeList](const std::function<void()>& arrange) {
        largeList.SetFilterText(QString());
        largeList.SortItems(-1);
        largeList.viewport()->repaint();
        QElapsedTimer timer;
        timer.start();
        arrange();
        largeList.viewport()->repaint();
        return static_cast<double>(timer.nsecsElapsed()) / 1e6;
    };
    std::vector<double> filterTimes;
    std::vector<double> sortTimes;
    int filteredRows = 0;
    for (int i = 0; i < runs; ++i) {
        filterTimes.push_back(
            arranged([&largeList] { largeList.SetFilterText(QStringLiteral("Res0001")); }));
        filteredRows = largeList.GetVisibleItemCount();
        // The Length column.
        sortTimes.push_back(arranged([&largeList] { largeList.SortItems(8); }));
    }
    const double filterLarge = Median(filterTimes);
    const double sortLarge = Median(sortTimes);
    CloseAll(app);

    // Later opens of the large bank against cat of it.
    const auto cat = [&large] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(QStringLiteral("cat"), {large});
        process.waitForFinished(-1);
    };
    // What opening must at least read: the bank, its names file and the
    // names in its folder.
    const QString names = large.left(large.size() - 3) + QStringLiteral("bns");
    const QString folder = QFileInfo(large).absolutePath();
    const auto read = [&large, &names, &folder] {
        for (const QStringList& command :
             {QStringList{QStringLiteral("cat"), large, names},
              QStringList{QStringLiteral("ls"), QStringLiteral("-f"), folder}}) {
            QProcess process;
            process.setStandardOutputFile(QProcess::nullDevice());
            process.start(command.first(), command.mid(1));
            process.waitForFinished(-1);
        }
    };
    cat();
    read();
    std::vector<double> openTimes;
    std::vector<double> catTimes;
    std::vector<double> readTimes;
    for (int i = 0; i < runs; ++i) {
        catTimes.push_back(Measure(1, cat));
        readTimes.push_back(Measure(1, read));
        QElapsedTimer open;
        open.start();
        if (OpenAndShow(app, *pFrame, large) == nullptr) {
            return Fail("the large bank did not open again");
        }
        openTimes.push_back(static_cast<double>(open.nsecsElapsed()) / 1e6);
        CloseAll(app);
    }
    const double openLarge = Median(openTimes);
    const double catLarge = Median(catTimes);
    const double readLarge = Median(readTimes);

    const double refreshRatio = refreshLarge / refreshSmall;
    const double openRatio = openLarge / readLarge;
    std::printf("bank sizes: %lld bytes (%d resources), %lld bytes (%d resources)\n",
                static_cast<long long>(QFileInfo(small).size()), smallRows,
                static_cast<long long>(QFileInfo(large).size()), largeRows);
    std::printf("first open and show (writes the wave files): %.1f ms (%d), %.1f ms (%d)\n",
                firstSmall, smallRows, firstLarge, largeRows);
    std::printf("refresh, refill and one paint, median of %d: %.3f ms (%d rows), %.3f ms "
                "(%d rows): ratio %.2f (bound %.1f)\n",
                runs * 4, refreshSmall, smallRows, refreshLarge, largeRows, refreshRatio,
                kRefreshBound);
    std::printf("filter on Res0001 (%d rows kept) and paint, median of %d: %.1f ms (budget "
                "%.0f ms)\n",
                filteredRows, runs, filterLarge, kArrangeBudget);
    std::printf("sort by Length and paint, median of %d: %.1f ms (budget %.0f ms)\n", runs,
                sortLarge, kArrangeBudget);
    std::printf("open and show again, median of %d: %.1f ms; cat of the file: %.1f ms; cat of "
                "the bank and its names file and a listing of its folder: %.1f ms: ratio %.2f "
                "(bound %.1f)\n",
                runs, openLarge, catLarge, readLarge, openRatio, kOpenBound);

    // For bench/run.
    std::printf("result refresh %.3f %.3f\n", refreshLarge, refreshSmall);
    std::printf("result open %.1f %.1f %.1f\n", openLarge, catLarge, readLarge);
    std::printf("result filter %.1f %.0f\n", filterLarge, kArrangeBudget);
    std::printf("result sort %.1f %.0f\n", sortLarge, kArrangeBudget);

    pFrame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app.ExitInstance();
    return refreshRatio <= kRefreshBound && openRatio <= kOpenBound &&
                   filterLarge <= kArrangeBudget && sortLarge <= kArrangeBudget
               ? 0
               : 1;
}
