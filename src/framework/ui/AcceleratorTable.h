#pragma once

#include <QKeyCombination>

#include <span>

// One accelerator: a key with its modifiers and the command it sends.
struct Accelerator {
    QKeyCombination key;
    int nId;
};

// An accelerator table as data. Keys are Qt's, so a plain character such as
// "[" is its own key without modifiers.
struct AcceleratorTable {
    int nId;
    std::span<const Accelerator> entries;

    // The registered table with this id, or nullptr.
    static const AcceleratorTable* Find(int nId);
};
