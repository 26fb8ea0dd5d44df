#include "CBankEdit.h"

#include <algorithm>
#include <cstring>

namespace {

// Records are packed and compared as the bytes a save writes. Each byte of
// them is a field's (a record's union is as wide as its widest member, and
// packed records have no padding), so the bytes are the fields.
template <class T> bool SameBytes(const T& a, const T& b) {
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison): see above.
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool SameExtraction(const SampleExtraction& a, const SampleExtraction& b) {
    return a.state == b.state && a.openedAt == b.openedAt && a.openedLength == b.openedLength;
}

} // namespace

CBankEdit::State CBankEdit::Capture(const Tables& tables) {
    State state;
    state.resources.assign(tables.resources.begin(), tables.resources.end());
    state.events.assign(tables.events.begin(), tables.events.end());
    if (tables.header != nullptr) {
        state.header = *tables.header;
    }
    if (tables.fileSize != nullptr) {
        state.fileSize = *tables.fileSize;
    }
    if (tables.extraction != nullptr) {
        state.extraction = *tables.extraction;
    }
    return state;
}

CBankEdit CBankEdit::Since(const State& before, const Tables& now) {
    CBankEdit edit;
    // A change never adds or removes records; anything beyond the shorter
    // table was not there to be changed.
    const size_t nResources = std::min(before.resources.size(), now.resources.size());
    for (size_t i = 0; i < nResources; ++i) {
        if (!SameBytes(before.resources[i], now.resources[i])) {
            edit.m_resources.push_back({i, before.resources[i], now.resources[i]});
        }
    }
    const size_t nEvents = std::min(before.events.size(), now.events.size());
    for (size_t i = 0; i < nEvents; ++i) {
        if (!SameBytes(before.events[i], now.events[i])) {
            edit.m_events.push_back({i, before.events[i], now.events[i]});
        }
    }
    if (now.extraction != nullptr) {
        const size_t nExtraction = std::min(before.extraction.size(), now.extraction->size());
        for (size_t i = 0; i < nExtraction; ++i) {
            if (!SameExtraction(before.extraction[i], (*now.extraction)[i])) {
                edit.m_extraction.push_back({i, before.extraction[i], (*now.extraction)[i]});
            }
        }
    }
    if (now.header != nullptr) {
        edit.m_headerBefore = before.header;
        edit.m_headerAfter = *now.header;
        edit.m_bHeader = !SameBytes(before.header, *now.header);
    }
    edit.m_fileSizeBefore = before.fileSize;
    edit.m_fileSizeAfter = now.fileSize != nullptr ? *now.fileSize : before.fileSize;
    return edit;
}

bool CBankEdit::IsEmpty() const {
    return m_resources.empty() && m_events.empty() && m_extraction.empty() && !m_bHeader &&
           m_fileSizeBefore == m_fileSizeAfter;
}

qsizetype CBankEdit::Cost() const {
    const size_t bytes = sizeof(CBankEdit) + m_resources.size() * sizeof(Change<SoundResource>) +
                         m_events.size() * sizeof(Change<SoundEvent>) +
                         m_extraction.size() * sizeof(Change<SampleExtraction>);
    return static_cast<qsizetype>(bytes);
}

void CBankEdit::Write(const Tables& tables, bool after) const {
    for (const Change<SoundResource>& change : m_resources) {
        if (change.index < tables.resources.size()) {
            tables.resources[change.index] = after ? change.after : change.before;
        }
    }
    for (const Change<SoundEvent>& change : m_events) {
        if (change.index < tables.events.size()) {
            tables.events[change.index] = after ? change.after : change.before;
        }
    }
    if (tables.extraction != nullptr) {
        for (const Change<SampleExtraction>& change : m_extraction) {
            if (change.index >= tables.extraction->size()) {
                continue;
            }
            // Where a sample's data lies is what opening and saving learnt
            // of the file on disk. Once a save has learnt something newer,
            // going back to what this step saw would forget data that only
            // the saved bank holds.
            SampleExtraction& now = (*tables.extraction)[change.index];
            if (SameExtraction(now, after ? change.before : change.after)) {
                now = after ? change.after : change.before;
            }
        }
    }
    if (m_bHeader && tables.header != nullptr) {
        *tables.header = after ? m_headerAfter : m_headerBefore;
    }
    // Only what the edit changed: a save since may have set the rest.
    if (tables.fileSize != nullptr && m_fileSizeBefore != m_fileSizeAfter) {
        *tables.fileSize = after ? m_fileSizeAfter : m_fileSizeBefore;
    }
}
