#pragma once

#include "format/SoundResource.h"

#include <QString>
#include <QStringList>

#include <span>

// Finds the external samples of a bank whose wave files are not in its
// folder (or are no regular files there): the game would play silence for
// them. Looks up names in one listing of the folder, whatever their case;
// opens no file. Shows nothing.
class CMissingWaves {
public:
    // The wave files missing from folder (absolute, no trailing "/"), one
    // path each in table order and each once, however many samples name it;
    // an external sample that names no file at all counts as missing too and
    // is listed by its table index in unnamed.
    struct Result {
        QStringList files;
        QList<int> unnamed;
        bool Empty() const { return files.isEmpty() && unnamed.isEmpty(); }
    };
    static Result Find(const QString& folder, std::span<const SoundResource> resources);
};
