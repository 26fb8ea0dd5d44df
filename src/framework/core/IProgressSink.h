#pragma once

#include "CSeam.h"

#include <QString>

// Long work of a document (writing out samples on open, packing them on save)
// reports here. The editor shows a progress dialog; the command-line tool and
// the tests keep the silent default.
class IProgressSink {
public:
    IProgressSink() = default;
    IProgressSink(const IProgressSink&) = delete;
    IProgressSink& operator=(const IProgressSink&) = delete;
    virtual ~IProgressSink() = default;

    // Work with the given label and number of steps starts.
    virtual void Begin(const QString& label, qint64 total) = 0;
    // done of total steps are finished; keeps the user interface alive.
    virtual void Step(qint64 done) = 0;
    virtual void End() = 0;
};

// Shows nothing.
template <> IProgressSink& CSeam<IProgressSink>::Default();
