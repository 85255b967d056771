#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/world/InputFeed.h"

// Input read from a text: one line per change, "FRAME dx dy button keys...": from frame FRAME on
// (counting from 0), every frame has dx, dy mouse counts of motion, the left button held (1) or
// not (0), and the named keys held (UP DOWN LEFT RIGHT ESCAPE), until the next line. Frames grow
// strictly from line to line. Before the first line nothing is held. Empty lines and lines
// starting with "#" are skipped. ESCAPE going down also posts its key message, as a real key would.
class InputScript final : public InputFeed {
public:
    static constexpr int64_t kMaxFrame = 2147483647;
    static constexpr int32_t kMaxMotion = 100000;  // counts a frame, either way
    static constexpr size_t kMaxTextSize = 64u << 20;  // bytes

    struct Line {
        int64_t frame = 0;
        int32_t dx = 0;
        int32_t dy = 0;
        bool button = false;
        std::vector<uint8_t> keys;  // key codes
    };

    // Replaces the lines with those of text; false, with the line's number and what is wrong in
    // *error and no lines kept, for anything it cannot read.
    bool Parse(const std::string& text, std::string* error);
    // Parse on a file's contents; false for a file that cannot be read or is too large.
    bool Load(const std::string& path, std::string* error);

    void PostMessages() override;
    void Apply(Input& input) override;

    const std::vector<Line>& Lines() const { return lines_; }
    // The key code of a name, 0 for a name it does not know.
    static uint8_t KeyCode(const std::string& name);

private:
    bool ParseLine(const std::string& text, Line* line, std::string* problem) const;
    // The line in force at the frame, or null before the first one.
    const Line* LineAt(int64_t frame) const;
    bool EscapeHeld(int64_t frame) const;

    std::vector<Line> lines_;
    int64_t frame_ = 0;
};
