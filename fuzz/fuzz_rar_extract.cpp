#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/unrarlib/RarExtract.h"

// Arbitrary bytes as an archive: the reader must fail or succeed, never fault. The requested
// names cover the seed archives' entries, a name no entry has, and the empty name.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kNames[] = {"a.txt", "b.bin", "c.raw", "missing", ""};
    for (const char* name : kNames) {
        char* output = nullptr;
        unsigned long length = 0;
        if (RarExtractFromMemory(&output, &length, name, data, size, nullptr) != 0) {
            // The block holds length bytes and the NUL behind them; touching both proves it.
            volatile char last = output[length];
            (void)last;
            if (length > 0) output[length - 1] ^= 1;
        }
        std::free(output);
    }
    return 0;
}
