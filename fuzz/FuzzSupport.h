#pragma once

#include "framework/core/CPromptSink.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// What every fuzz target shares: message boxes answered without a display,
// and one temporary folder per process that each input is written into.
class FuzzSupport {
public:
    static FuzzSupport& Instance();

    // Writes bytes as name in a fresh, empty folder and returns its path.
    QString WriteFresh(const QString& name, const QByteArray& bytes);
    QString Folder() const { return m_folder; }
    void Clear();

private:
    FuzzSupport();

    QTemporaryDir m_root;
    QString m_folder;
};
