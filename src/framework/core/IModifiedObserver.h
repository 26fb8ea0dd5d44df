#pragma once

#include "CSeam.h"

class CDocument;

// Told whenever the modified flag of any document changes, so that what
// shows it (which commands apply) follows. The framework's windows put
// theirs in place; without one nobody is told.
class IModifiedObserver {
public:
    virtual ~IModifiedObserver() = default;
    virtual void ModifiedChanged(CDocument& document) = 0;
};

// Tells nobody (CDocument.cpp).
template <> IModifiedObserver& CSeam<IModifiedObserver>::Default();
