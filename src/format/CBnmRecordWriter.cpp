#include "CBnmRecordWriter.h"

#include "BnmHeader.h"
#include "CLittleEndianWriter.h"
#include "SoundEvent.h"
#include "SoundResource.h"

void CBnmRecordWriter::Write(CLittleEndianWriter& out, const BnmHeader& header) {
    out.U32(header.word0)
        .U32(header.eventTableOffset)
        .I32(header.eventCount)
        .U32(header.resourceTableOffset)
        .I32(header.resourceCount)
        .U32(header.sampleDataOffset)
        .U32(header.word6)
        .U32(header.word7)
        .U32(header.fileLength);
}

void CBnmRecordWriter::Write(CLittleEndianWriter& out, const SoundEvent& event) {
    out.I32(event.eventId)
        .I32(event.type)
        .U32(event.param1)
        .U32(event.param2)
        .U32(event.param3)
        .U32(event.word5)
        .I32(event.stopable)
        .I32(event.dynamic);
}

void CBnmRecordWriter::Write(CLittleEndianWriter& out, const SoundResource& resource) {
    out.I32(resource.resourceId)
        .I32(resource.type)
        .I32(resource.storage)
        .I32(resource.length)
        .I32(resource.offset)
        .U8(resource.volume);
    for (const quint8 rest : resource.volumeRest) {
        out.U8(rest);
    }
    // A CD track's number is the low half of the first flags word.
    for (const qint32 flags : resource.flags) {
        out.I32(flags);
    }
    out.I32(resource.looped)
        .I32(resource.loopStart)
        .I32(resource.loopLength)
        .I32(resource.samplesPerSec)
        .U16(resource.bitsPerSample)
        .U16(resource.channels)
        .I32(resource.waveFormat)
        .Bytes(QByteArrayView(resource.fileName, sizeof resource.fileName))
        .U32(resource.word22);
}

void CBnmRecordWriter::WriteRegion(CLittleEndianWriter& out, const BnmHeader& header,
                                   std::span<const SoundEvent> events,
                                   std::span<const SoundResource> resources) {
    Write(out, header);
    out.Seek(header.eventTableOffset);
    for (const SoundEvent& event : events) {
        Write(out, event);
    }
    out.Seek(header.resourceTableOffset);
    for (const SoundResource& resource : resources) {
        Write(out, resource);
    }
}
