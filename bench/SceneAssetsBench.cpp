// Load time and memory of scene assets: a 3DF model of 100,000 triangles and 2048 × 2048
// JPEG and TGA textures, as a whole and step by step, on the null device.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/device/NullDevice.h"
#include "engine/platform/ResourceFile.h"
#include "engine/platform/ResourceReader.h"
#include "engine/scene/MeshData.h"
#include "engine/scene/Picture.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/Texture.h"
#include "engine/scene/TextureCache.h"
#include "tools/modelwriter/ModelWriter.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

constexpr int kGridSide = 224;  // 224 × 224 cells of two triangles: 100,352 triangles
constexpr uint32_t kPictureSide = 2048;

std::string ScratchFile(const char* name)
{
    return "/tmp/harn_bench_" + std::to_string(getpid()) + "_" + name;
}

void Save(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// A wavy grid with its triangles in scan order, as an exporter writes them.
MeshData GridMesh()
{
    MeshData mesh;
    for (int y = 0; y <= kGridSide; ++y) {
        for (int x = 0; x <= kGridSide; ++x) {
            MeshVertex v{};
            v.position[0] = static_cast<float>(x);
            v.position[1] = std::sin(x * 0.1f) * std::cos(y * 0.1f);
            v.position[2] = static_cast<float>(y);
            v.normal[1] = 1.0f;
            v.texCoord[0] = x / static_cast<float>(kGridSide);
            v.texCoord[1] = y / static_cast<float>(kGridSide);
            mesh.vertices.push_back(v);
        }
    }
    const uint32_t row = kGridSide + 1;
    for (uint32_t y = 0; y < kGridSide; ++y) {
        for (uint32_t x = 0; x < kGridSide; ++x) {
            const uint32_t a = y * row + x;
            mesh.indices.insert(mesh.indices.end(), {a, a + row, a + 1, a + 1, a + row, a + row + 1});
        }
    }
    return mesh;
}

const std::string& ModelPath()
{
    static const std::string path = [] {
        const MeshData mesh = GridMesh();
        ModelFile file;
        ModelFileObject object;
        object.material = 0;
        object.vertices = mesh.vertices;
        object.indices = mesh.indices;
        file.materials.resize(1);
        file.objects.push_back(object);
        const std::string out = ScratchFile("grid.3df");
        Save(out, ModelWriter::Write(file));
        return out;
    }();
    return path;
}

Picture TestPicture()
{
    Picture picture;
    picture.width = picture.height = kPictureSide;
    picture.rgba.resize(static_cast<size_t>(kPictureSide) * kPictureSide * 4);
    uint32_t noise = 12345;
    for (size_t i = 0; i < picture.rgba.size(); i += 4) {
        const uint32_t x = static_cast<uint32_t>(i / 4) % kPictureSide;
        const uint32_t y = static_cast<uint32_t>(i / 4) / kPictureSide;
        noise = noise * 1664525u + 1013904223u;
        picture.rgba[i] = static_cast<uint8_t>(x / 8);
        picture.rgba[i + 1] = static_cast<uint8_t>(y / 8);
        picture.rgba[i + 2] = static_cast<uint8_t>(128 + (noise >> 28));
        picture.rgba[i + 3] = 255;
    }
    return picture;
}

const std::string& PicturePath(bool jpeg)
{
    static const std::string jpegPath = ScratchFile("picture.jpg");
    static const std::string tgaPath = ScratchFile("picture.tga");
    static const bool written = [] {
        const Picture picture = TestPicture();
        Save(jpegPath, PictureWriter::Jpeg(picture, 90));
        PictureWriter::TgaOptions options;
        options.alpha = true;
        Save(tgaPath, PictureWriter::Tga(picture, options));
        return true;
    }();
    (void)written;
    return jpeg ? jpegPath : tgaPath;
}

size_t HeapInUse() { return mallinfo2().uordblks; }

// The mesh as the loader holds it just before the steps after reading.
MeshData ReadMesh()
{
    ResourceReader reader;
    reader.Open(ModelPath().c_str());
    reader.Seek(ModelWriter::kHeaderSize + 4 + ModelWriter::kMaterialSize + 4 + 4);
    int32_t counts[2];
    reader.Read(counts, sizeof counts);
    MeshData mesh;
    mesh.vertices.resize(static_cast<size_t>(counts[0]));
    mesh.indices.resize(static_cast<size_t>(counts[1]));
    reader.Read(mesh.vertices.data(), static_cast<uint32_t>(mesh.vertices.size() * sizeof(MeshVertex)));
    reader.Read(mesh.indices.data(), static_cast<uint32_t>(mesh.indices.size() * 4));
    return mesh;
}

void BM_Model_WholeLoad(benchmark::State& state)
{
    NullDevice device;
    ScopedCurrentDevice current(&device);
    size_t held = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        SceneModel model;
        benchmark::DoNotOptimize(model.Load(ModelPath().c_str()));
        held = HeapInUse() - before;
    }
    TextureCache::Clear();
    state.counters["heap_MiB_held"] = static_cast<double>(held) / (1 << 20);
    state.counters["triangles"] = kGridSide * kGridSide * 2.0;
}

void BM_Model_Step1_Reading(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(ReadMesh());
}

void BM_Model_Step2_Tangents(benchmark::State& state)
{
    const MeshData read = ReadMesh();
    for (auto _ : state) {
        state.PauseTiming();
        MeshData mesh = read;
        state.ResumeTiming();
        mesh.ComputeTangents();
        benchmark::DoNotOptimize(mesh.vertices.data());
    }
}

void BM_Model_Step3_Bounds(benchmark::State& state)
{
    const MeshData mesh = ReadMesh();
    for (auto _ : state) {
        Vec4 low, high;
        mesh.ComputeBounds(low, high);
        benchmark::DoNotOptimize(low);
    }
}

void BM_Model_Step4_VertexCacheOptimisation(benchmark::State& state)
{
    const MeshData read = ReadMesh();
    for (auto _ : state) {
        state.PauseTiming();
        MeshData mesh = read;
        state.ResumeTiming();
        mesh.OptimizeVertexCache();
        benchmark::DoNotOptimize(mesh.indices.data());
    }
}

void BM_Model_Step5_Upload(benchmark::State& state)
{
    NullDevice device;
    ScopedCurrentDevice current(&device);
    MeshData mesh = ReadMesh();
    mesh.OptimizeVertexCache();
    for (auto _ : state) {
        auto vertices = device.CreateVertexBuffer(mesh.vertices.data(), static_cast<uint32_t>(mesh.vertices.size()));
        const std::vector<uint16_t> shortIndices(mesh.indices.begin(), mesh.indices.end());
        auto indices = device.CreateIndexBuffer(shortIndices.data(), static_cast<uint32_t>(shortIndices.size()));
        benchmark::DoNotOptimize(vertices.get());
        benchmark::DoNotOptimize(indices.get());
    }
}

void BM_Texture_WholeLoad(benchmark::State& state, bool jpeg)
{
    NullDevice device;
    ScopedCurrentDevice current(&device);
    size_t held = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        Texture texture;
        benchmark::DoNotOptimize(texture.Load(PicturePath(jpeg).c_str()));
        held = HeapInUse() - before;
    }
    state.counters["heap_MiB_held"] = static_cast<double>(held) / (1 << 20);
}

void BM_Texture_Step1_Reading(benchmark::State& state, bool jpeg)
{
    for (auto _ : state) {
        ResourceFile file;
        benchmark::DoNotOptimize(file.Load(PicturePath(jpeg).c_str()));
    }
}

void BM_Texture_Step2_Decoding(benchmark::State& state, bool jpeg)
{
    ResourceFile file;
    file.Load(PicturePath(jpeg).c_str());
    for (auto _ : state) {
        Picture picture;
        benchmark::DoNotOptimize(DecodePicture(file.Data(), file.Size(), picture));
    }
}

void BM_Texture_Step3_Upload(benchmark::State& state)
{
    NullDevice device;
    ScopedCurrentDevice current(&device);
    const Picture picture = TestPicture();
    for (auto _ : state) {
        Texture texture;
        benchmark::DoNotOptimize(texture.Create(picture));
    }
}

// The device builds the mipmap chain; the null device keeps level 0 only. This box filter down
// to 1 × 1 is the work a device that builds the chain on the CPU does on top of the upload.
void BM_Texture_Step4_MipChainOnTheCpu(benchmark::State& state)
{
    const Picture base = TestPicture();
    size_t chainBytes = 0;
    for (auto _ : state) {
        std::vector<std::vector<uint8_t>> levels;
        uint32_t width = base.width, height = base.height;
        const std::vector<uint8_t>* source = &base.rgba;
        chainBytes = base.rgba.size();
        while (width > 1 || height > 1) {
            const uint32_t w = width > 1 ? width / 2 : 1, h = height > 1 ? height / 2 : 1;
            std::vector<uint8_t> level(static_cast<size_t>(w) * h * 4);
            for (uint32_t y = 0; y < h; ++y) {
                for (uint32_t x = 0; x < w; ++x) {
                    for (uint32_t c = 0; c < 4; ++c) {
                        const auto at = [&](uint32_t sx, uint32_t sy) { return (*source)[(static_cast<size_t>(sy) * width + sx) * 4 + c]; };
                        const uint32_t x0 = x * 2, y0 = y * 2;
                        const uint32_t x1 = width > 1 ? x0 + 1 : x0, y1 = height > 1 ? y0 + 1 : y0;
                        level[(static_cast<size_t>(y) * w + x) * 4 + c] = static_cast<uint8_t>((at(x0, y0) + at(x1, y0) + at(x0, y1) + at(x1, y1) + 2) / 4);
                    }
                }
            }
            chainBytes += level.size();
            levels.push_back(std::move(level));
            source = &levels.back();
            width = w;
            height = h;
        }
        benchmark::DoNotOptimize(levels.data());
    }
    state.counters["chain_MiB"] = static_cast<double>(chainBytes) / (1 << 20);
}

}  // namespace

BENCHMARK(BM_Model_WholeLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model_Step1_Reading)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model_Step2_Tangents)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model_Step3_Bounds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model_Step4_VertexCacheOptimisation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model_Step5_Upload)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Texture_WholeLoad, jpeg, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Texture_WholeLoad, tga, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Texture_Step1_Reading, jpeg, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Texture_Step1_Reading, tga, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Texture_Step2_Decoding, jpeg, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Texture_Step2_Decoding, tga, false)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Texture_Step3_Upload)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Texture_Step4_MipChainOnTheCpu)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // The files are written before any timing starts.
    ModelPath();
    PicturePath(true);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(ModelPath().c_str());
    std::remove(PicturePath(true).c_str());
    std::remove(PicturePath(false).c_str());
    return 0;
}
