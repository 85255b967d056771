#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/BenchData.h"

// Two builds of harntool side by side: `qzr cat` of the same entries of one archive, run in turns
// (the order swapped every round), each run timed from start to exit with its CPU time and peak
// memory taken from the kernel. The archives are packed by the second build's `qzr create` from
// 40 MiB of mixed data taken from the system (C headers, shared libraries, icons) and 8 MiB of
// generated sound; they are kept in the work folder and reused while its files are there.
//
//   bench_rar_compare [--rounds N] [--folder DIR] OLD_HARNTOOL NEW_HARNTOOL
namespace {

namespace fs = std::filesystem;
using bench_data::Bytes;

constexpr size_t kMiB = 1 << 20;
constexpr size_t kTextBytes = 12 * kMiB;
constexpr size_t kBinaryBytes = 12 * kMiB;
constexpr size_t kPictureBytes = 8 * kMiB;
constexpr size_t kSoundBytes = 8 * kMiB;  // 16-bit stereo
constexpr int kDefaultRounds = 15;

// What is timed: an entry of 40 MiB in LZ mode, one in audio mode, and the same audio entry behind
// the 40 MiB one in a solid archive, which passes that whole entry through the window first.
struct Case {
    const char* archive;
    const char* entry;
};
const Case kCases[] = {{"mixed.qzr", "mixed.bin"}, {"mixed.qzr", "sound.wav"}, {"solid.qzr", "sound.wav"}};

struct Run {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

// Appends the files below root whose names pass the filter, in name order, until want bytes are in.
template <typename Filter>
void Gather(Bytes& out, const fs::path& root, size_t want, Filter wanted)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
         it != end && !error; it.increment(error)) {
        if (it->is_regular_file(error) && !it->is_symlink(error) && wanted(it->path())) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    const size_t limit = out.size() + want;
    for (const fs::path& file : files) {
        if (out.size() >= limit) break;
        std::ifstream in(file, std::ios::binary);
        out.insert(out.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (out.size() > limit) out.resize(limit);
}

// Shared libraries carry their version behind the extension ("libz.so.1.2.13").
bool NameContains(const fs::path& path, std::initializer_list<const char*> parts)
{
    const std::string name = path.filename().string();
    for (const char* part : parts) {
        if (name.find(part) != std::string::npos) return true;
    }
    return false;
}

// Each part comes from the system where it can, topped up with generated data of its kind.
Bytes MixedData(const Bytes& sound)
{
    Bytes mixed;
    Gather(mixed, "/usr/include", kTextBytes, [](const fs::path& p) { return p.extension() == ".h"; });
    const Bytes text = bench_data::Text(kTextBytes - mixed.size(), 1);
    mixed.insert(mixed.end(), text.begin(), text.end());
    Gather(mixed, "/usr/lib", kBinaryBytes, [](const fs::path& p) { return NameContains(p, {".so"}); });
    const Bytes mesh = bench_data::Mesh(kTextBytes + kBinaryBytes - mixed.size(), 2);
    mixed.insert(mixed.end(), mesh.begin(), mesh.end());
    Gather(mixed, "/usr/share", kPictureBytes, [](const fs::path& p) { return NameContains(p, {".png", ".jpg"}); });
    const Bytes filler = bench_data::Mesh(kTextBytes + kBinaryBytes + kPictureBytes - mixed.size(), 3);
    mixed.insert(mixed.end(), filler.begin(), filler.end());
    mixed.insert(mixed.end(), sound.begin(), sound.end());
    return mixed;
}

bool WriteFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool SameFiles(const fs::path& a, const fs::path& b)
{
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    char x[1 << 16], y[1 << 16];
    while (first && second) {
        first.read(x, sizeof(x));
        second.read(y, sizeof(y));
        if (first.gcount() != second.gcount() || std::memcmp(x, y, static_cast<size_t>(first.gcount())) != 0) return false;
    }
    return first.eof() && second.eof();
}

// Runs program with arguments in folder, standard output into outputPath, and measures it.
Run Measure(const std::string& program, const std::vector<std::string>& arguments, const fs::path& folder,
            const char* outputPath)
{
    timespec start{}, stop{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child == 0) {
        const int output = open(outputPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (output < 0 || dup2(output, STDOUT_FILENO) < 0 || chdir(folder.c_str()) != 0) _exit(126);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return run;
    clock_gettime(CLOCK_MONOTONIC, &stop);
    run.wallSeconds = static_cast<double>(stop.tv_sec - start.tv_sec) + 1e-9 * static_cast<double>(stop.tv_nsec - start.tv_nsec);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec); };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.peakKiB = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

bool WriteArchive(const fs::path& folder, const std::string& harntool)
{
    const Bytes sound = bench_data::Sound(kSoundBytes, 4);
    if (!WriteFile(folder / "mixed.bin", MixedData(sound)) || !WriteFile(folder / "sound.wav", sound)) return false;
    return Measure(harntool, {"qzr", "create", "mixed.qzr", "mixed.bin", "sound.wav"}, folder, "/dev/null").ok &&
           Measure(harntool, {"qzr", "create", "--solid", "solid.qzr", "mixed.bin", "sound.wav"}, folder, "/dev/null").ok;
}

// A child process builds the data, so that this one stays small: the kernel counts what a process
// held before it started a program in that program's peak memory.
bool PrepareArchive(const fs::path& folder, const std::string& harntool)
{
    bool present = true;
    for (const char* file : {"mixed.bin", "sound.wav", "mixed.qzr", "solid.qzr"}) present = present && fs::exists(folder / file);
    if (present) return true;
    fs::create_directories(folder);
    std::printf("building the archive in %s ...\n", folder.c_str());
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) _exit(WriteArchive(folder, harntool) ? 0 : 1);
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Verify(const fs::path& folder, const std::string& harntool, const Case& c)
{
    const fs::path copy = folder / "extracted.tmp";
    const bool same = Measure(harntool, {"qzr", "cat", c.archive, c.entry}, folder, copy.c_str()).ok &&
                      SameFiles(copy, folder / c.entry);
    fs::remove(copy);
    if (!same) std::fprintf(stderr, "%s does not give back %s byte for byte\n", harntool.c_str(), c.entry);
    return same;
}

template <typename Field>
double Median(std::vector<Run> runs, Field field)
{
    std::sort(runs.begin(), runs.end(), [&](const Run& a, const Run& b) { return field(a) < field(b); });
    return field(runs[runs.size() / 2]);
}

void Report(const Case& c, const std::vector<Run>& old, const std::vector<Run>& now)
{
    const auto wall = [](const Run& r) { return r.wallSeconds; };
    const auto cpu = [](const Run& r) { return r.cpuSeconds; };
    const auto peak = [](const std::vector<Run>& runs) {
        long most = 0;
        for (const Run& r : runs) most = std::max(most, r.peakKiB);
        return static_cast<double>(most) / 1024.0;
    };
    const std::string name = std::string(c.archive) + " " + c.entry;
    std::printf("%-20s old: wall %7.1f ms  cpu %7.1f ms  peak %6.1f MiB\n", name.c_str(), 1e3 * Median(old, wall),
                1e3 * Median(old, cpu), peak(old));
    std::printf("%-20s new: wall %7.1f ms  cpu %7.1f ms  peak %6.1f MiB\n", name.c_str(), 1e3 * Median(now, wall),
                1e3 * Median(now, cpu), peak(now));
    std::printf("%-20s old/new: wall %.2f  cpu %.2f  (medians of %zu runs each)\n", name.c_str(),
                Median(old, wall) / Median(now, wall), Median(old, cpu) / Median(now, cpu), old.size());
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = kDefaultRounds;
    fs::path folder = fs::temp_directory_path() / "harn-rar-compare";
    int next = 1;
    for (; next + 1 < argc && argv[next][0] == '-'; next += 2) {
        if (std::strcmp(argv[next], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[next + 1]));
        if (std::strcmp(argv[next], "--folder") == 0) folder = argv[next + 1];
    }
    if (argc - next != 2) {
        std::fprintf(stderr, "usage: bench_rar_compare [--rounds N] [--folder DIR] OLD_HARNTOOL NEW_HARNTOOL\n");
        return 2;
    }
    const std::string old = fs::absolute(argv[next]).string();
    const std::string now = fs::absolute(argv[next + 1]).string();
    if (!PrepareArchive(folder, now)) {
        std::fprintf(stderr, "cannot build the archive in %s\n", folder.c_str());
        return 1;
    }
    for (const char* archive : {"mixed.qzr", "solid.qzr"})
        std::printf("%s: %ju bytes\n", (folder / archive).c_str(), static_cast<uintmax_t>(fs::file_size(folder / archive)));
    for (const Case& c : kCases) {
        if (!Verify(folder, old, c) || !Verify(folder, now, c)) return 1;
        std::vector<Run> oldRuns, newRuns;
        for (int round = 0; round < rounds; ++round) {
            const std::vector<std::string> arguments{"qzr", "cat", c.archive, c.entry};
            const bool oldFirst = round % 2 == 0;
            const Run first = Measure(oldFirst ? old : now, arguments, folder, "/dev/null");
            const Run second = Measure(oldFirst ? now : old, arguments, folder, "/dev/null");
            if (!first.ok || !second.ok) return 1;
            oldRuns.push_back(oldFirst ? first : second);
            newRuns.push_back(oldFirst ? second : first);
        }
        Report(c, oldRuns, newRuns);
    }
    return 0;
}
