#include "CLoudnessLoader.h"

#include <QFuture>
#include <QPromise>

#include <memory>
#include <utility>

CLoudnessLoader::CLoudnessLoader(Handler handler) : m_handler(std::move(handler)) {
    m_pool.setMaxThreadCount(1);
    QObject::connect(&m_watcher, &QFutureWatcher<Reading>::finished, &m_watcher,
                     [this] { OnFinished(); });
}

CLoudnessLoader::~CLoudnessLoader() {
    Cancel();
    m_pool.waitForDone();
}

void CLoudnessLoader::Load(const QString& path) {
    Cancel();
    m_strPath = path;
    m_bBusy = true;
    auto promise = std::make_shared<QPromise<Reading>>();
    QFuture<Reading> future = promise->future();
    promise->start();
    m_pool.start([promise, path] {
        const CResult<CLoudnessMeter::Reading> measured =
            CLoudnessMeter::MeasureFile(path, [&promise] { return promise->isCanceled(); });
        promise->addResult(measured ? Reading(measured.Value()) : Reading());
        promise->finish();
    });
    m_watcher.setFuture(future);
}

void CLoudnessLoader::Cancel() {
    m_watcher.future().cancel();
    m_bBusy = false;
}

void CLoudnessLoader::OnFinished() {
    const QFuture<Reading> future = m_watcher.future();
    if (!m_bBusy || future.isCanceled() || future.resultCount() == 0) {
        return;
    }
    m_bBusy = false;
    if (m_handler) {
        m_handler(m_strPath, future.result());
    }
}
