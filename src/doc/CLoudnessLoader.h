#pragma once

#include "format/CLoudnessMeter.h"

#include <QFutureWatcher>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <optional>

// Measures the loudness of sound files on a worker thread, so that a long
// file never holds up the thread that asks, and hands each reading to a
// handler on the thread that made the loader (which must run an event loop).
// Only the newest request counts, as with CWavePeaksLoader.
class CLoudnessLoader {
public:
    // The reading is empty when the file could not be measured.
    using Reading = std::optional<CLoudnessMeter::Reading>;
    using Handler = std::function<void(const QString& path, const Reading& reading)>;

    explicit CLoudnessLoader(Handler handler);
    // Cancels the measurement under way and waits for the worker to end it.
    ~CLoudnessLoader();
    CLoudnessLoader(const CLoudnessLoader&) = delete;
    CLoudnessLoader& operator=(const CLoudnessLoader&) = delete;

    // Starts measuring path; the one asked for before is abandoned.
    void Load(const QString& path);
    void Cancel();
    bool IsBusy() const { return m_bBusy; }
    QString GetPath() const { return m_strPath; }

private:
    void OnFinished();

    Handler m_handler;
    QThreadPool m_pool;
    QFutureWatcher<Reading> m_watcher;
    QString m_strPath;
    bool m_bBusy = false;
};
