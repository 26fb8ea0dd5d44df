#pragma once

#include <span>

class CLittleEndianWriter;
struct BnmHeader;
struct SoundEvent;
struct SoundResource;

// Writes the bank's records field by field in the file's little-endian
// layout, for the programs that compose a bank from records of their own
// (the demo bank, the benchmark's bank, the tests' banks).
class CBnmRecordWriter {
public:
    // Each writes its record's 36, 32 or 92 bytes at the writer's position.
    static void Write(CLittleEndianWriter& out, const BnmHeader& header);
    static void Write(CLittleEndianWriter& out, const SoundEvent& event);
    static void Write(CLittleEndianWriter& out, const SoundResource& resource);
    // The whole header region: the header, then each table at the offset the
    // header gives it.
    static void WriteRegion(CLittleEndianWriter& out, const BnmHeader& header,
                            std::span<const SoundEvent> events,
                            std::span<const SoundResource> resources);
};
