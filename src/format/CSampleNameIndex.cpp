#include "CSampleNameIndex.h"

#include "CBnmFormat.h"
#include "SoundResource.h"

#include "framework/core/CCaseFold.h"

void CSampleNameIndex::Build(const SoundResource* resources, int count) {
    m_counts.clear();
    m_counts.reserve(count);
    for (int i = 0; i < count; ++i) {
        if (resources[i].IsSample()) {
            ++m_counts[CCaseFold::Fold(CBnmFormat::FileNameText(resources[i]))];
        }
    }
}

bool CSampleNameIndex::IsTakenByOther(const QString& name, const SoundResource& self) const {
    const QString folded = CCaseFold::Fold(name);
    int holders = m_counts.value(folded);
    if (self.IsSample() && CCaseFold::Fold(CBnmFormat::FileNameText(self)) == folded) {
        --holders;
    }
    return holders > 0;
}

void CSampleNameIndex::Rename(const QString& before, const QString& after) {
    const auto found = m_counts.find(CCaseFold::Fold(before));
    if (found != m_counts.end() && --*found <= 0) {
        m_counts.erase(found);
    }
    ++m_counts[CCaseFold::Fold(after)];
}
