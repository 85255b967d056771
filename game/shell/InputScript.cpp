#include "game/shell/InputScript.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>

#include "engine/platform/Input.h"
#include "engine/platform/KeyCodes.h"
#include "engine/platform/MessageQueue.h"
#include "game/world/FrameInput.h"

namespace {

struct KeyName {
    const char* name;
    uint8_t code;
};

constexpr KeyName kKeyNames[] = {
    {"UP", DIK_UP}, {"DOWN", DIK_DOWN}, {"LEFT", DIK_LEFT}, {"RIGHT", DIK_RIGHT}, {"ESCAPE", DIK_ESCAPE},
};

constexpr uint8_t kHeld = 0x80;

template <typename Number>
bool ReadNumber(const std::string& word, Number* value)
{
    const char* end = word.data() + word.size();
    const auto [stop, result] = std::from_chars(word.data(), end, *value);
    return result == std::errc() && stop == end;
}

}  // namespace

uint8_t InputScript::KeyCode(const std::string& name)
{
    for (const KeyName& key : kKeyNames)
        if (name == key.name) return key.code;
    return 0;
}

bool InputScript::Load(const std::string& path, std::string* error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::string text;
    char chunk[65536];
    while (file.read(chunk, sizeof(chunk)) || file.gcount() > 0) {
        text.append(chunk, static_cast<size_t>(file.gcount()));
        if (text.size() > kMaxTextSize) {
            *error = path + " is larger than " + std::to_string(kMaxTextSize) + " bytes";
            return false;
        }
    }
    return Parse(text, error);
}

bool InputScript::Parse(const std::string& text, std::string* error)
{
    lines_.clear();
    frame_ = 0;
    std::istringstream in(text);
    std::string row;
    for (int number = 1; std::getline(in, row); ++number) {
        if (!row.empty() && row.back() == '\r') row.pop_back();
        const size_t first = row.find_first_not_of(" \t");
        if (first == std::string::npos || row[first] == '#') continue;
        Line line;
        std::string problem;
        if (ParseLine(row, &line, &problem) && !lines_.empty() && line.frame <= lines_.back().frame)
            problem = "frame " + std::to_string(line.frame) + " does not come after frame " + std::to_string(lines_.back().frame);
        if (!problem.empty()) {
            *error = "line " + std::to_string(number) + ": " + problem;
            lines_.clear();
            return false;
        }
        lines_.push_back(std::move(line));
    }
    return true;
}

bool InputScript::ParseLine(const std::string& text, Line* line, std::string* problem) const
{
    std::istringstream words(text);
    std::string frame, dx, dy, button, key;
    if (!(words >> frame >> dx >> dy >> button)) {
        *problem = "expected FRAME dx dy button [keys...]";
        return false;
    }
    if (!ReadNumber(frame, &line->frame) || line->frame < 0 || line->frame > kMaxFrame) {
        *problem = "frame '" + frame + "' is not a number from 0 to " + std::to_string(kMaxFrame);
        return false;
    }
    if (!ReadNumber(dx, &line->dx) || !ReadNumber(dy, &line->dy) || line->dx < -kMaxMotion || line->dx > kMaxMotion ||
        line->dy < -kMaxMotion || line->dy > kMaxMotion) {
        *problem = "mouse motion '" + dx + " " + dy + "' is not two whole numbers within " + std::to_string(kMaxMotion);
        return false;
    }
    if (button != "0" && button != "1") {
        *problem = "button '" + button + "' is not 0 or 1";
        return false;
    }
    line->button = button == "1";
    while (words >> key) {
        const uint8_t code = KeyCode(key);
        if (code == 0) {
            *problem = "unknown key '" + key + "' (known: UP DOWN LEFT RIGHT ESCAPE)";
            return false;
        }
        line->keys.push_back(code);
    }
    return true;
}

const InputScript::Line* InputScript::LineAt(int64_t frame) const
{
    // Frames grow from line to line: the one in force is the last that has started.
    const auto after = std::upper_bound(lines_.begin(), lines_.end(), frame,
                                        [](int64_t wanted, const Line& line) { return wanted < line.frame; });
    return after == lines_.begin() ? nullptr : &*(after - 1);
}

bool InputScript::EscapeHeld(int64_t frame) const
{
    const Line* line = frame >= 0 ? LineAt(frame) : nullptr;
    if (line == nullptr) return false;
    for (uint8_t code : line->keys)
        if (code == DIK_ESCAPE) return true;
    return false;
}

void InputScript::PostMessages()
{
    if (EscapeHeld(frame_) && !EscapeHeld(frame_ - 1)) {
        Message message;
        message.message = WM_KEYDOWN;
        message.wParam = VK_ESCAPE;
        MessageQueue::PostMessage(message);
    }
}

void InputScript::Apply(Input& input)
{
    const Line* line = LineAt(frame_);
    FrameInput frame;
    if (line != nullptr) {
        frame.dx = line->dx;
        frame.dy = line->dy;
        frame.button = line->button;
    }
    frame.WriteTo(input);
    if (line != nullptr)
        for (uint8_t code : line->keys) input.keyboard->keys[code] = kHeld;
    ++frame_;
}
