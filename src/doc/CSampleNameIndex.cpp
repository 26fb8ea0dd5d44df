#include "CSampleNameIndex.h"

#include "CBnmFormat.h"
#include "SoundResource.h"

void CSampleNameIndex::Build(const SoundResource* resources, int count) {
    m_counts.clear();
    m_counts.reserve(count);
    for (int i = 0; i < count; ++i) {
        if (resources[i].IsSample()) {
            ++m_counts[CBnmFormat::FileNameText(resources[i]).toCaseFolded()];
        }
    }
}

bool CSampleNameIndex::IsTakenByOther(const QString& name, const SoundResource& self) const {
    const QString folded = name.toCaseFolded();
    int holders = m_counts.value(folded);
    if (self.IsSample() && CBnmFormat::FileNameText(self).toCaseFolded() == folded) {
        --holders;
    }
    return holders > 0;
}

void CSampleNameIndex::Rename(const QString& before, const QString& after) {
    const auto found = m_counts.find(before.toCaseFolded());
    if (found != m_counts.end() && --*found <= 0) {
        m_counts.erase(found);
    }
    ++m_counts[after.toCaseFolded()];
}
