#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/shell/Replay.h"

// The replay file: a header, then the level script's name, then the frames, a few bytes each.
// Numbers are little-endian.
//
//   offset  size  field
//        0     8  "ZELMARRP"
//        8     2  version (1)
//       10     2  header size in bytes (40)
//       12     4  frame count
//       16     4  size in bytes of what follows the header (name and frames)
//       20     4  CRC-32 of what follows the header
//       24     2  display width, 2 display height (pixels)
//       28     4  the ship's fire cooldown at the start (float)
//       32     4  the blink clock at the start (signed)
//       36     1  length of the script's name; 3 bytes 0
//
// A frame: its time step (float, 0 to 0.1 s), a byte of flags (bit 0 the left button, 1 to 4
// the arrows up, down, left, right, 5 mouse motion follows, 6 the stick follows, 7 messages
// follow), then as flagged: the motion as two zigzag LEB128 numbers (x, y), the stick as two
// floats (-1 to 1), the messages as a count (1 to 4) and a byte each (1 Escape, 2 quit).
class ReplayFile {
public:
    static constexpr uint16_t kVersion = 1;
    static constexpr size_t kHeaderSize = 40;
    static constexpr size_t kMaxBodySize = 64u << 20;  // bytes
    static constexpr size_t kMaxFileSize = kHeaderSize + kMaxBodySize;

    static std::vector<uint8_t> Encode(const Replay& replay);
    // False, with what is wrong in *error and *replay left alone, for anything that is not a
    // complete, intact replay of this version within the limits.
    static bool Decode(const uint8_t* data, size_t size, Replay* replay, std::string* error);
    // Decode on a file's contents; a file larger than kMaxFileSize is refused unread.
    static bool Load(const std::string& path, Replay* replay, std::string* error);
    // Writes the file under a temporary name beside it and renames it into place, so that no
    // half-written replay is ever left under the name; false, with the reason, when it cannot.
    static bool Save(const std::string& path, const Replay& replay, std::string* error);
};
