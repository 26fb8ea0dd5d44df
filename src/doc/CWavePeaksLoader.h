#pragma once

#include "format/CWavePeaks.h"

#include <QFutureWatcher>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <memory>

// Reads wave peaks on a worker thread, so that a long file never holds up the
// thread that asks, and hands each result to a handler on the thread that
// made the loader (which must run an event loop). Only the newest request
// counts: a new Load or a Cancel stops the read under way, and a result that
// is no longer wanted is dropped, never handed over.
class CWavePeaksLoader {
public:
    using Peaks = std::shared_ptr<const CWavePeaks>;
    // Gets the path asked for and what reading it gave (never null).
    using Handler = std::function<void(const QString& path, const Peaks& peaks)>;

    explicit CWavePeaksLoader(Handler handler);
    // Cancels the read under way and waits for the worker to let go of it.
    ~CWavePeaksLoader();
    CWavePeaksLoader(const CWavePeaksLoader&) = delete;
    CWavePeaksLoader& operator=(const CWavePeaksLoader&) = delete;

    // Starts reading path; the read asked for before is abandoned.
    void Load(const QString& path);
    void Cancel();
    // Blocks until no read runs, so that whatever a finished read hands over
    // is already queued for this thread's event loop.
    void WaitForWorker();
    // A read was asked for and its result has not been handed over yet.
    bool IsBusy() const { return m_bBusy; }
    QString GetPath() const { return m_strPath; }

private:
    void OnFinished();

    Handler m_handler;
    // Its own single thread: reads run one after another, and a cancelled
    // read ends at its next block, so the newest waits for little.
    QThreadPool m_pool;
    QFutureWatcher<Peaks> m_watcher;
    QString m_strPath;
    bool m_bBusy = false;
};
