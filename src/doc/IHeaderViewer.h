#pragma once

#include "format/BnmHeaderFigures.h"

#include "framework/core/CSeam.h"

// Where the Header command shows the bank's figures. The dialog lives in a
// layer above the document, so the application installs its viewer at
// start-up (CSeam<IHeaderViewer>).
class IHeaderViewer {
public:
    IHeaderViewer() = default;
    IHeaderViewer(const IHeaderViewer&) = delete;
    IHeaderViewer& operator=(const IHeaderViewer&) = delete;
    virtual ~IHeaderViewer() = default;

    virtual void Show(const BnmHeaderFigures& figures) = 0;
};

// Shows nothing: the command-line tool has no Header command.
template <> IHeaderViewer& CSeam<IHeaderViewer>::Default();
