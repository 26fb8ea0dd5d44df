#pragma once

#include "CBankRecords.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class IProgressSink;
struct BnmHeader;
struct SoundResource;

// Writes the samples of a bank as wave files into a folder of the user's
// choice, each named after its resource, in the format its record gives and
// with the record's loop as a sampler chunk. Never replaces a file the caller
// did not decide to replace, and a file that cannot be written whole is not
// there under its name at all. Shows nothing: the caller asks about existing
// files and tells of the failures.
class CSoundExporter {
public:
    // The bank the samples come from; it must outlive the exporter.
    struct Bank {
        CBankRecords records;
        // The bank's folder, with a trailing "/": where its wave files are.
        QString folder;
        // The bank's own file name, which is no sample's.
        QString bankFileName;
        // The bank's own copy of the data of resource index, for a banked
        // sample without a wave file that can give it; empty when the bank
        // holds none.
        std::function<QByteArrayView(int index)> bankedData;
    };

    // One wave file to write.
    struct Target {
        int index = -1;
        QString name; // in the target folder
        // Something other than a folder has the name already. It stays
        // unless overwrite is set.
        bool exists = false;
        bool overwrite = false;
        // Why the file must not be written whatever the caller decides (it
        // would take the place of one of the bank's own wave files); Export
        // reports it as the target's failure.
        QString refusal;
    };

    struct Failure {
        QString path; // of the file that was not written
        QString text; // what went wrong, naming the file, on one line
    };

    struct Report {
        QStringList written; // paths, in table order
        QStringList skipped; // existing files left alone
        std::vector<Failure> failures;
    };

    explicit CSoundExporter(Bank bank);

    // The data of a banked sample where its record places it in image,
    // cut to what image holds; empty when none of it is there.
    static QByteArrayView RecordedData(QByteArrayView image, const BnmHeader& header,
                                       const SoundResource& resource);

    // The file name resource index is exported under, or an empty string for
    // a resource that is no sample. A sample's name is its names-file name,
    // else its record's file name, else one made from its id, made safe for
    // the file system and unique among the bank's samples without regard to
    // case; the same bank always gives the same names.
    QString FileNameOf(int index) const;

    // What exporting resource index (every sample for -1) into folder would
    // write, with the files already there marked. Empty when there is no
    // such sample. In the bank's own folder, a name that one of its samples'
    // wave files has (without regard to case, as the bank finds them) is
    // refused.
    std::vector<Target> Plan(const QString& folder, int index = -1) const;

    // Writes targets into folder. A target marked as existing is written
    // only when overwrite is set; a file that appeared since the plan is
    // never replaced. Each file is complete under its name or not there.
    Report Export(const QString& folder, const std::vector<Target>& targets,
                  IProgressSink& progress) const;

private:
    // The bytes of a whole wave file for resource index, or an empty array
    // with why in *why.
    QByteArray Compose(int index, const QString& target, QString* why) const;
    // The sample data of resource index, or why not.
    bool ReadData(int index, QByteArray* data, QString* why) const;
    void NameSamples();

    Bank m_bank;
    // Per resource, the name it is exported under.
    QStringList m_names;
};
