#pragma once

#include "BnmHeader.h"
#include "SoundEvent.h"
#include "SoundResource.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

// A bank as read: the whole file in one block of memory and where its header
// and tables lie in it. The records are edited in place, so the block is
// what saving writes back.
struct BankImage {
    // Frees memory the reader allocated (it may be huge-page aligned).
    struct Deleter {
        void operator()(quint8* image) const;
    };
    std::unique_ptr<quint8[], Deleter> data;
    qint64 size = 0;     // bytes allocated for data, the file's length when read whole
    qint64 fileSize = 0; // the file's length; size is less when only the header region was read
    BnmHeader* header = nullptr;
    SoundResource* resources = nullptr;
    int resourceCount = 0;
    SoundEvent* events = nullptr; // nullptr when there are none
    int eventCount = 0;
    qint64 regionSize = 0; // the header region: the header and both tables
    int bank = -1;
    QString folder; // the bank's folder, without a trailing "/"
    // Tables the header claims more of than the region holds, told as
    // warnings; the bank is usable all the same.
    QStringList warnings;
};
