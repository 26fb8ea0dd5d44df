// Import of any bytes as a sound file: decoded, converted to a bank's format
// and written as a wave file beside it. Whatever the input, an import either
// fails with a message that names the file or writes a plain wave that holds
// exactly the data and the loop it reports.
#include "FuzzSupport.h"

#include "format/CSoundImporter.h"
#include "format/CWaveReader.h"
#include "framework/core/IProgressSink.h"

#include <QFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    FuzzSupport& support = FuzzSupport::Instance();
    const QString source = support.WriteFresh(QStringLiteral("in.snd"), bytes);
    CSoundImporter::Request request;
    request.source = source;
    request.folder = support.Folder() + QLatin1Char('/');
    // The width and channels of the input pick one of the target formats.
    const int pick = size > 0 ? data[0] % 4 : 0;
    const CSoundImporter::Format targets[] = {
        {1, 22050, 16}, {2, 11025, 8}, {1, 8000, 24}, {0, 0, 0}};
    request.target = targets[pick];
    const CResult<CSoundImporter::Imported> imported =
        CSoundImporter::Import(request, CSeam<IProgressSink>::Current());
    if (!imported) {
        if (!imported.Error().text.contains(source)) {
            __builtin_trap();
        }
        return 0;
    }
    const CSoundImporter::Imported& result = imported.Value();
    QFile wave(request.folder + result.fileName);
    if (result.fileName.size() > 15 || !wave.open(QIODevice::ReadOnly)) {
        __builtin_trap();
    }
    const QByteArray written = wave.readAll();
    const CWaveReader::Info info = CWaveReader::Read(written);
    const int frame = result.format.channels * result.format.bitsPerSample / 8;
    if (!info.wave || info.dataOffset != 44 || info.dataHeld != result.dataLength ||
        written.size() != 44 + result.dataLength || frame <= 0 || result.dataLength % frame != 0 ||
        (result.hasLoop && (result.loopStart < 0 || result.loopLength <= 0 ||
                            result.loopStart + result.loopLength > result.dataLength))) {
        __builtin_trap();
    }
    return 0;
}
