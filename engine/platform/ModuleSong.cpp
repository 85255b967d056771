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
