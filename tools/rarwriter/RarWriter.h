#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/rarwriter/Rar20Encoder.h"

// Builds a RAR 2.0 archive in memory: the marker, the main header, then one file header and its
// packed data per entry, every header with its CRC. Entries are compressed (method 0x33) unless the
// writer stores them or compression does not pay; in a solid archive every compressed entry after
// the first goes on from the window of the ones before it.
class RarWriter {
public:
    struct Options {
        bool store = false;
        bool solid = false;
        Rar20Encoder::Options encoder;
    };

    // What was written for one entry.
    struct Entry {
        std::string name;
        uint32_t unpackedSize = 0;
        uint32_t packedSize = 0;
        uint32_t crc = 0;
        uint8_t method = 0;
        bool solid = false;
        bool audio = false;
    };

    static constexpr uint8_t kHostUnix = 3;
    static constexpr uint8_t kMethodNormal = 0x33;
    static constexpr uint32_t kDefaultAttributes = 0100644;  // a plain file, rw-r--r--

    RarWriter();
    explicit RarWriter(const Options& options);

    // Adds one entry. dosTime is the modification time in MS-DOS form; 0 takes the current time.
    // False for a name the header cannot hold or data over 4 GB.
    bool Add(const std::string& name, std::span<const uint8_t> data, uint32_t dosTime = 0,
             uint32_t attributes = kDefaultAttributes);

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    bool WriteFile(const std::string& path) const;

    // The MS-DOS date and time of a moment given in seconds since 1970, in local time.
    static uint32_t DosTime(int64_t unixSeconds);

private:
    void WriteMainHeader();

    Options options_;
    Rar20Encoder encoder_;
    std::vector<uint8_t> bytes_;
    std::vector<Entry> entries_;
};
