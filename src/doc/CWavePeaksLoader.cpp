#include "CWavePeaksLoader.h"

#include <QFuture>
#include <QPromise>

#include <utility>

CWavePeaksLoader::CWavePeaksLoader(Handler handler) : m_handler(std::move(handler)) {
    m_pool.setMaxThreadCount(1);
    QObject::connect(&m_watcher, &QFutureWatcher<Peaks>::finished, &m_watcher,
                     [this] { OnFinished(); });
}

CWavePeaksLoader::~CWavePeaksLoader() {
    Cancel();
    WaitForWorker();
}

void CWavePeaksLoader::WaitForWorker() {
    m_pool.waitForDone();
}

void CWavePeaksLoader::Load(const QString& path) {
    Cancel();
    m_strPath = path;
    m_bBusy = true;
    auto promise = std::make_shared<QPromise<Peaks>>();
    QFuture<Peaks> future = promise->future();
    promise->start();
    m_pool.start([promise, path] {
        const auto canceled = [&promise] { return promise->isCanceled(); };
        promise->addResult(std::make_shared<const CWavePeaks>(CWavePeaks::Read(path, canceled)));
        promise->finish();
    });
    // Watching the new future drops whatever the old one still had queued
    // for this thread.
    m_watcher.setFuture(future);
}

void CWavePeaksLoader::Cancel() {
    // The worker sees this at its next block; its result, should it still
    // arrive, is then dropped.
    m_watcher.future().cancel();
    m_bBusy = false;
}

void CWavePeaksLoader::OnFinished() {
    const QFuture<Peaks> future = m_watcher.future();
    if (!m_bBusy || future.isCanceled() || future.resultCount() == 0) {
        return;
    }
    m_bBusy = false;
    const Peaks peaks = future.result();
    if (peaks != nullptr && m_handler) {
        m_handler(m_strPath, peaks);
    }
}
