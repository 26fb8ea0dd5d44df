#pragma once

#include "format/BnmHeader.h"
#include "format/SampleExtraction.h"
#include "format/SoundEvent.h"
#include "format/SoundResource.h"

#include <span>
#include <vector>

// One change of a bank in memory, as the records were and as they became:
// what Undo writes back and Redo writes again. It holds only the records
// that differ, so a change of one field of one record costs one record, and
// All External on a big bank costs its samples, not the bank.
class CBankEdit {
public:
    // The parts of a loaded bank an edit may change, where they live.
    struct Tables {
        std::span<SoundResource> resources;
        std::span<SoundEvent> events;
        BnmHeader* header = nullptr;
        qint64* fileSize = nullptr;
        std::vector<SampleExtraction>* extraction = nullptr;
    };
    // Those parts copied, before a change.
    struct State {
        std::vector<SoundResource> resources;
        std::vector<SoundEvent> events;
        BnmHeader header{};
        qint64 fileSize = -1;
        std::vector<SampleExtraction> extraction;
    };

    static State Capture(const Tables& tables);
    // What changed from before to the tables as they are now.
    static CBankEdit Since(const State& before, const Tables& now);

    bool IsEmpty() const;
    // Writes the records as they were (Undo) or became (Redo). The tables
    // must be those of the bank the edit was taken on. Where a sample's data
    // lies is written back only while it is still what the step left: a save
    // since knows better.
    void Undo(const Tables& tables) const { Write(tables, false); }
    void Redo(const Tables& tables) const { Write(tables, true); }
    // Roughly the bytes held.
    qsizetype Cost() const;

private:
    template <class T> struct Change {
        size_t index;
        T before;
        T after;
    };

    void Write(const Tables& tables, bool after) const;

    std::vector<Change<SoundResource>> m_resources;
    std::vector<Change<SoundEvent>> m_events;
    std::vector<Change<SampleExtraction>> m_extraction;
    bool m_bHeader = false;
    BnmHeader m_headerBefore{};
    BnmHeader m_headerAfter{};
    qint64 m_fileSizeBefore = -1;
    qint64 m_fileSizeAfter = -1;
};
