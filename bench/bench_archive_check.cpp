#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchData.h"
#include "engine/platform/ArchiveCheck.h"
#include "tools/rarwriter/RarWriter.h"

// The start-up check of the game's archive: every entry read and compared with its CRC. Measured
// on a solid archive of about 24 MB in 120 entries (level script text, mesh records, sound), the
// way the game's generator packs "data.qzr", and on the same entries packed one by one.
namespace {

constexpr int kEntries = 120;
constexpr size_t kEntryBytes = 200 * 1024;

std::string MakeArchive(bool solid)
{
    RarWriter::Options options;
    options.solid = solid;
    RarWriter writer(options);
    for (int i = 0; i < kEntries; ++i) {
        const auto seed = static_cast<uint32_t>(i + 1);
        const bench_data::Bytes data = i % 3 == 0 ? bench_data::Text(kEntryBytes, seed)
                                       : i % 3 == 1 ? bench_data::Mesh(kEntryBytes, seed)
                                                    : bench_data::Sound(kEntryBytes, seed);
        writer.Add("entry" + std::to_string(i) + ".bin", data, 1);
    }
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("harn-bench-check-" + std::to_string(getpid()) + (solid ? "-solid.qzr" : ".qzr")))
                                 .string();
    writer.WriteFile(path);
    return path;
}

void VerifyArchive(benchmark::State& state, bool solid)
{
    const std::string path = MakeArchive(solid);
    for (auto _ : state) {
        std::string problem;
        if (!ArchiveCheck::Verify(path.c_str(), &problem)) state.SkipWithError(problem.c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kEntries * static_cast<int64_t>(kEntryBytes));
    std::filesystem::remove(path);
}

void Solid(benchmark::State& state) { VerifyArchive(state, true); }
void OneByOne(benchmark::State& state) { VerifyArchive(state, false); }

}  // namespace

BENCHMARK(Solid)->Unit(benchmark::kMillisecond);
BENCHMARK(OneByOne)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
