#pragma once

#include "framework/ui/CDialogBuilder.h"
#include "framework/ui/DialogTemplate.h"

#include <QtGlobal>

#include <vector>

// Finds a control among those CDialogBuilder made from a template: by its id,
// or by the text its template gives it; as T, or nullptr.
template <class T> T* FindBuilt(const std::vector<CDialogBuilder::Control>& controls, int id) {
    for (const CDialogBuilder::Control& c : controls) {
        if (c.nId == id) {
            return qobject_cast<T*>(c.pWidget);
        }
    }
    return nullptr;
}

template <class T>
T* FindBuiltText(const std::vector<CDialogBuilder::Control>& controls, const char* text) {
    for (const CDialogBuilder::Control& c : controls) {
        if (qstrcmp(c.pTemplate->pszText, text) == 0) {
            return qobject_cast<T*>(c.pWidget);
        }
    }
    return nullptr;
}
