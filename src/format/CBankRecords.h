#pragma once

#include "BnmHeader.h"
#include "BnmHeaderFigures.h"
#include "CNameIdIndex.h"
#include "ResourceName.h"
#include "SoundEvent.h"
#include "SoundResource.h"

#include <QString>

#include <span>

// A look at the records of one bank and the names given to them, and the
// texts the lists and the header show for them. Holds nothing: whoever owns
// the bank (the open document, or a reader's result) must outlive it.
class CBankRecords {
public:
    CBankRecords() = default;
    // names holds one entry per table position; firstOfId gives for each id
    // the position of its first entry. Both may be null for a bank without
    // names.
    CBankRecords(const BnmHeader* pHeader, std::span<const SoundResource> resources,
                 std::span<const SoundEvent> events, int bank, const ResourceName* names,
                 const CNameIdIndex* firstOfId)
        : m_pHeader(pHeader), m_resources(resources), m_events(events), m_nBank(bank),
          m_names(names), m_firstOfId(firstOfId) {}

    const BnmHeader* Header() const { return m_pHeader; }
    std::span<const SoundResource> Resources() const { return m_resources; }
    std::span<const SoundEvent> Events() const { return m_events; }
    // 0 to 3 from the resource table's offset, -1 for a bank no game loads.
    int GetBank() const { return m_nBank; }

    // The first names entry with this id, or nullptr.
    const ResourceName* FindResourceName(int id) const;
    QString GetResourceName(int id) const;
    QString GetResourceDescription(int id) const;
    // Labels of a target reference (bank in the high, index in the low half):
    // the record it names in this bank, the place in another, or "???" for
    // an index past this bank's table.
    QString GetResourceLabel(quint32 target) const;
    QString GetEventLabel(quint32 target) const;
    // The figures of the Header command; all empty without a header.
    BnmHeaderFigures GetHeaderFigures() const;

private:
    const BnmHeader* m_pHeader = nullptr;
    std::span<const SoundResource> m_resources;
    std::span<const SoundEvent> m_events;
    int m_nBank = -1;
    const ResourceName* m_names = nullptr;
    const CNameIdIndex* m_firstOfId = nullptr;
};
