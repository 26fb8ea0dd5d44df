#pragma once

#include "format/BnmHeader.h"
#include "format/SoundEvent.h"
#include "format/SoundResource.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Composes bank images for tests: any header values, tables anywhere, gaps,
// and sample data. Build() lays out a well-formed bank (header, event table,
// resource table, banked data back to back in table order); tests then patch
// whatever they want broken with Put32/Put16.
class BankBuilder {
public:
    // Resource table offset for the bank number (0 to 3), or after the events.
    std::optional<int> bank;
    // Extra zero bytes between the resource table and the sample data.
    int gapAfterTables = 0;
    BnmHeader header{};
    std::vector<SoundEvent> events;
    std::vector<SoundResource> resources;
    // Data of each resource, appended to the sample area for banked samples.
    std::vector<QByteArray> data;

    SoundResource& AddSample(qint32 id, const QString& fileName, const QByteArray& bytes,
                             bool banked, qint32 rate = 22050, quint16 bits = 16,
                             quint16 channels = 1);
    SoundResource& AddCdTrack(qint32 id, quint16 track, qint32 secondFlags = 0);
    SoundResource& AddResource(qint32 id, qint32 type);
    SoundEvent& AddEvent(qint32 id, qint32 type, quint32 param1 = 0, quint32 param2 = 0,
                         quint32 param3 = 0);

    QByteArray Build() const;

    // Deterministic test data of the given size.
    static QByteArray Pattern(int size, int seed);
    static void Put32(QByteArray& bytes, qsizetype offset, quint32 value);
    static void Put16(QByteArray& bytes, qsizetype offset, quint16 value);
    static quint32 Get32(const QByteArray& bytes, qsizetype offset);
    // A wave file with the plain 44-byte header around data.
    static QByteArray Wave(const QByteArray& data, quint16 channels = 1, quint32 rate = 22050,
                           quint16 bits = 16);
};
