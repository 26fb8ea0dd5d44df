#pragma once

#include "SoundResource.h"

#include <QHash>
#include <QString>

#include <span>

// The files that the banks of one folder depend on: each bank, its names
// file and every wave file its sample records name. Whatever writes into the
// folder asks it first, so that no output takes the place of a sample's only
// copy, a names file or another bank. Reads only the header region of each
// bank; shows nothing.
class CBankFolderFiles {
public:
    enum class Kind { None, Bank, NamesFile, Wave };
    // What one file is to the folder's banks.
    struct Role {
        Kind kind = Kind::None;
        QString bank; // the file name of the bank it belongs to (or is)
        explicit operator bool() const { return kind != Kind::None; }
    };

    // Lists folder's banks (*.bnm, case aside) and reads their records. A bank
    // that cannot be read still counts as a bank, with no wave files known.
    explicit CBankFolderFiles(const QString& folder);

    // Takes resources as the records of the bank bankFileName in place of
    // what its file says: an editor's bank in memory names files its file on
    // disk does not yet. The records are copied for their names only.
    void SetRecords(const QString& bankFileName, std::span<const SoundResource> resources);

    // What path is to the banks of this folder, looked up without regard to
    // case as the banks find their files; none for a path in another folder.
    Role RoleOf(const QString& path) const;

    // What output, where a bank opened from bankPath is to be saved, would
    // replace: a wave, names file or bank of output's folder, with records
    // (when given) as the opened bank's own. The opened bank itself, and a
    // bank of another folder, are no obstacle: saving over a bank is what
    // saving does.
    static Role SaveObstacle(const QString& output, const QString& bankPath,
                             std::span<const SoundResource> records = {});

    // "the names file of Bnk_1.bnm" and the like, to complete "X is ...".
    static QString Describe(const Role& role);

private:
    void AddBankRecords(const QString& bankFileName, std::span<const SoundResource> resources);
    Role RoleIn(const QString& folder, const QString& fileName) const;

    QString m_strFolder; // canonical; empty when the folder does not exist
    // Case-folded file name -> its role. A wave two banks name belongs to
    // the first one listed.
    QHash<QString, Role> m_roles;
};
