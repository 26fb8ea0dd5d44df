#pragma once

#include <QHash>
#include <QString>

struct SoundResource;

// How many sample records of a bank hold each file name, compared without
// regard to case as the games' file system compares them. Choosing a name for
// one sample then asks one question instead of comparing the name with every
// other record, which made naming a bank of many unnamed samples take time
// growing with the square of their number.
class CSampleNameIndex {
public:
    // Counts the file names of the sample records among resources.
    void Build(const SoundResource* resources, int count);
    // Whether a sample record other than resources[index] holds name.
    bool IsTakenByOther(const QString& name, const SoundResource& self) const;
    // Records that a sample's file name changed from before to after.
    void Rename(const QString& before, const QString& after);

private:
    QHash<QString, int> m_counts;
};
