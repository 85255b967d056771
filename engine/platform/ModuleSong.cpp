#include "engine/platform/ModuleSong.h"

#include <libopenmpt/libopenmpt.h>

#include <vector>

#include "engine/platform/DiskFile.h"

std::unique_ptr<ModuleSong> ModuleSong::FromMemory(const uint8_t* data, size_t size)
{
    if (data == nullptr || size == 0) return nullptr;
    openmpt_module* module = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent, nullptr,
                                                                openmpt_error_func_ignore, nullptr, nullptr,
                                                                nullptr, nullptr);
    if (module == nullptr) return nullptr;
    return std::unique_ptr<ModuleSong>(new ModuleSong(module));
}

std::unique_ptr<ModuleSong> ModuleSong::FromFile(const char* path)
{
    std::vector<uint8_t> bytes;
    if (!ReadDiskFile(path, kMaxFileBytes, &bytes)) return nullptr;
    return FromMemory(bytes.data(), bytes.size());
}

ModuleSong::~ModuleSong()
{
    openmpt_module_destroy(module_);
}

void ModuleSong::SetLooping(bool looping)
{
    openmpt_module_set_repeat_count(module_, looping ? -1 : 0);
}

void ModuleSong::Restart()
{
    openmpt_module_set_position_order_row(module_, 0, 0);
    playing_ = true;
}

bool ModuleSong::SetOrder(int order)
{
    if (order < 0 || order >= OrderCount()) return false;
    openmpt_module_set_position_order_row(module_, order, 0);
    return true;
}

int ModuleSong::Order() const
{
    return openmpt_module_get_current_order(module_);
}

int ModuleSong::OrderCount() const
{
    return openmpt_module_get_num_orders(module_);
}

size_t ModuleSong::Render(int rate, size_t frames, int16_t* out)
{
    if (!playing_ || frames == 0) return 0;
    const size_t written = openmpt_module_read_interleaved_stereo(module_, rate, frames, out);
    if (written < frames) playing_ = false;
    return written;
}

int ModuleSong::OrderPattern(int order) const
{
    if (order < 0 || order >= OrderCount()) return -1;
    const int pattern = openmpt_module_get_order_pattern(module_, order);
    return pattern >= PatternCount() || pattern < 0 ? kSkipOrder : pattern;
}

int ModuleSong::PatternCount() const
{
    return openmpt_module_get_num_patterns(module_);
}

int ModuleSong::PatternRows(int pattern) const
{
    return pattern < 0 || pattern >= PatternCount() ? 0 : openmpt_module_get_pattern_num_rows(module_, pattern);
}

int ModuleSong::SampleCount() const
{
    return openmpt_module_get_num_samples(module_);
}

namespace {

// libopenmpt's strings are the caller's to free.
std::string TakeString(const char* text)
{
    std::string copy = text == nullptr ? "" : text;
    openmpt_free_string(text);
    return copy;
}

}  // namespace

std::string ModuleSong::SampleName(int index) const
{
    if (index < 0 || index >= SampleCount()) return {};
    return TakeString(openmpt_module_get_sample_name(module_, index));
}

std::string ModuleSong::Title() const
{
    return TakeString(openmpt_module_get_metadata(module_, "title"));
}

int ModuleSong::Row() const
{
    return openmpt_module_get_current_row(module_);
}
