#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A temporary folder for one test, removed with it (kept when
// KANTEL_KEEP_TEST_FOLDERS is set); writes and reads whole files by name.
class TestFolder {
public:
    TestFolder();
    QString Path() const { return m_dir.path(); }
    QString FilePath(const QString& name) const;
    QString Write(const QString& name, const QByteArray& bytes) const;
    QByteArray Read(const QString& name) const;
    bool Exists(const QString& name) const;
    void Remove(const QString& name) const;
    // Names of everything in the folder (hidden entries too), sorted.
    QStringList Entries() const;

private:
    QTemporaryDir m_dir;
};
