#pragma once

#include "doc/IHeaderViewer.h"

#include <QList>

// Records the figures of every Header command while it lives.
class RecordingHeaderViewer final : public IHeaderViewer {
public:
    RecordingHeaderViewer();
    void Show(const BnmHeaderFigures& figures) override;

    QList<BnmHeaderFigures> shown;

private:
    CSeam<IHeaderViewer>::Guard m_guard;
};
