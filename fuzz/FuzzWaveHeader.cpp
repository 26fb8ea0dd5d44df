// The check of a chosen wave file's header, on any bytes, both from memory
// and through a file as the sample dialog reads it.
#include "FuzzSupport.h"

#include "dialogs/CWaveHeaderCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CWaveHeaderCheck::Header header{};
    const CWaveHeaderCheck::Result fromBytes =
        CWaveHeaderCheck::Check(static_cast<qint64>(size), bytes, header);
    const QString path = FuzzSupport::Instance().WriteFresh(QStringLiteral("pick.wav"), bytes);
    CWaveHeaderCheck::Header fromFileHeader{};
    const CWaveHeaderCheck::Result fromFile = CWaveHeaderCheck::CheckFile(path, fromFileHeader);
    // Reading through the file must judge the bytes exactly as reading them
    // from memory does.
    if (fromBytes != fromFile) {
        __builtin_trap();
    }
    return CWaveHeaderCheck::Message(fromFile, FuzzSupport::Instance().Folder()).size() < 0 ? 1 : 0;
}
