#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/BenchData.h"
#include "engine/unrarlib/RarExtract.h"
#include "tools/rarwriter/RarWriter.h"

// Decoding speed of RarExtract on about 51 MB of mixed data (text, mesh records, 16-bit stereo
// sound) packed in LZ mode, in audio mode and stored, and the cost of reading every entry of a
// solid archive one after the other.
namespace {

using bench_data::Bytes;

struct Entry {
    std::string name;
    Bytes data;
};

struct Archive {
    std::string path;
    std::vector<std::string> names;
    uint64_t unpackedBytes = 0;
    uint64_t packedBytes = 0;
};

struct Fixture {
    std::filesystem::path folder;
    Archive lz, audio, stored, solid, otherSolid;

    Fixture()
    {
        folder = std::filesystem::temp_directory_path() / ("harn-bench-rar-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        std::vector<Entry> mixed, sound, solidEntries;
        for (int i = 0; i < 4; ++i) mixed.push_back({"text" + std::to_string(i) + ".txt", bench_data::Text(5 << 20, i)});
        for (int i = 0; i < 3; ++i) mixed.push_back({"mesh" + std::to_string(i) + ".bin", bench_data::Mesh(5 << 20, i)});
        for (int i = 0; i < 4; ++i) {
            sound.push_back({"sound" + std::to_string(i) + ".raw", bench_data::Sound(4 << 20, i)});
            mixed.push_back(sound.back());
        }
        for (int i = 0; i < 40; ++i)
            solidEntries.push_back({"part" + std::to_string(i), i % 2 ? bench_data::Mesh(256 << 10, i) : bench_data::Text(256 << 10, i)});

        RarWriter::Options lzOnly;
        lzOnly.encoder.tryAudio = false;
        lz = Write("lz.qzr", mixed, lzOnly);
        RarWriter::Options audioOnly;
        audioOnly.encoder.forceAudioChannels = 4;  // 16-bit stereo: four byte lanes
        audio = Write("audio.qzr", sound, audioOnly);
        RarWriter::Options storeAll;
        storeAll.store = true;
        stored = Write("stored.qzr", mixed, storeAll);
        RarWriter::Options solidArchive;
        solidArchive.solid = true;
        solid = Write("solid.qzr", solidEntries, solidArchive);
        otherSolid = Write("other.qzr", {{"small", bench_data::Text(1000, 99)}}, solidArchive);
    }
    ~Fixture()
    {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }

    Archive Write(const std::string& name, const std::vector<Entry>& entries, const RarWriter::Options& options)
    {
        RarWriter writer(options);
        Archive archive;
        archive.path = (folder / name).string();
        for (const Entry& entry : entries) {
            writer.Add(entry.name, entry.data);
            archive.names.push_back(entry.name);
            archive.unpackedBytes += entry.data.size();
        }
        for (const RarWriter::Entry& written : writer.Entries()) archive.packedBytes += written.packedSize;
        writer.WriteFile(archive.path);
        return archive;
    }
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

void ExtractAll(benchmark::State& state, const Archive& archive, const std::vector<std::string>& order)
{
    for (auto _ : state) {
        for (const std::string& name : order) {
            char* data = nullptr;
            unsigned long size = 0;
            if (RarExtract(&data, &size, name.c_str(), archive.path.c_str(), nullptr) == 0) {
                state.SkipWithError(("cannot extract " + name).c_str());
                return;
            }
            benchmark::DoNotOptimize(data);
            std::free(data);
        }
    }
    uint64_t bytes = 0;
    for (size_t i = 0; i < order.size(); ++i) bytes += archive.unpackedBytes / archive.names.size();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["packed_ratio"] = static_cast<double>(archive.packedBytes) / static_cast<double>(archive.unpackedBytes);
}

void BM_ExtractLzMode(benchmark::State& state)
{
    ExtractAll(state, Data().lz, Data().lz.names);
}

void BM_ExtractAudioMode(benchmark::State& state)
{
    ExtractAll(state, Data().audio, Data().audio.names);
}

void BM_ExtractStored(benchmark::State& state)
{
    ExtractAll(state, Data().stored, Data().stored.names);
}

// Each request goes on from where the last one left the solid archive.
void BM_SolidEveryEntryFirstToLast(benchmark::State& state)
{
    ExtractAll(state, Data().solid, Data().solid.names);
}

// Each request lies before the last one, so each decodes the archive from its start.
void BM_SolidEveryEntryLastToFirst(benchmark::State& state)
{
    std::vector<std::string> reversed(Data().solid.names.rbegin(), Data().solid.names.rend());
    ExtractAll(state, Data().solid, reversed);
}

// One late entry with nothing kept from before: the decoding of all 39 entries ahead of it.
void BM_SolidLastEntryCold(benchmark::State& state)
{
    const Archive& solid = Data().solid;
    const Archive& other = Data().otherSolid;
    for (auto _ : state) {
        char* data = nullptr;
        unsigned long size = 0;
        state.PauseTiming();
        RarExtract(&data, &size, other.names.front().c_str(), other.path.c_str(), nullptr);  // forgets solid.qzr
        std::free(data);
        state.ResumeTiming();
        RarExtract(&data, &size, solid.names.back().c_str(), solid.path.c_str(), nullptr);
        benchmark::DoNotOptimize(data);
        std::free(data);
    }
}

// Every entry first to last with nothing kept between requests: what each request would cost if
// it decoded the archive from its first entry.
void BM_SolidEveryEntryNothingKept(benchmark::State& state)
{
    const Archive& solid = Data().solid;
    const Archive& other = Data().otherSolid;
    for (auto _ : state) {
        for (const std::string& name : solid.names) {
            char* data = nullptr;
            unsigned long size = 0;
            state.PauseTiming();
            RarExtract(&data, &size, other.names.front().c_str(), other.path.c_str(), nullptr);
            std::free(data);
            state.ResumeTiming();
            RarExtract(&data, &size, name.c_str(), solid.path.c_str(), nullptr);
            benchmark::DoNotOptimize(data);
            std::free(data);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * solid.unpackedBytes));
}

BENCHMARK(BM_ExtractLzMode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractAudioMode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractStored)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolidEveryEntryFirstToLast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolidEveryEntryLastToFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolidLastEntryCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolidEveryEntryNothingKept)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
