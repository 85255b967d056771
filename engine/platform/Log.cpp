#include "engine/platform/Log.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kDefaultMask = 4;

struct LogSink {
    int mask = Log::MaskFromEnvironment(std::getenv("HARNENGINE_LOG"));
    bool terminal = isatty(fileno(stderr)) != 0;
    Log::Listener listener;
};

LogSink& Sink()
{
    static LogSink sink;
    return sink;
}

void Emit(int level, const std::string& text)
{
    LogSink& sink = Sink();
    if (sink.listener) sink.listener(level, text);
    if ((sink.mask & level) == 0) return;
    const std::string out = sink.terminal ? Latin1ToUtf8(text) : text;
    std::fwrite(out.data(), 1, out.size(), stderr);
    if (out.empty() || out.back() != '\n') std::fputc('\n', stderr);
}

}  // namespace

int Log::MaskFromEnvironment(const char* value)
{
    if (value == nullptr || *value == '\0') return kDefaultMask;
    char* end = nullptr;
    const long mask = std::strtol(value, &end, 0);
    if (*end != '\0' || mask < 0) return kDefaultMask;
    return static_cast<int>(mask & 7);
}

void Log::Section(int level, const char* title)
{
    Emit(level, std::string("== ") + title + " ==");
}

void Log::Print(int level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    Emit(level, text);
}

void Log::SetListener(Listener listener)
{
    Sink().listener = std::move(listener);
}

std::string Latin1ToUtf8(const std::string& latin1)
{
    std::string out;
    out.reserve(latin1.size());
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}
