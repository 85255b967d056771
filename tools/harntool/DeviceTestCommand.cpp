#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/device/Display.h"
#include "engine/device/GraphicsDevice.h"
#include "engine/device/TextureFilter.h"
#include "engine/platform/MessageQueue.h"
#include "engine/platform/SdlPerformanceCounter.h"
#include "tools/harntool/Commands.h"
#include "tools/harntool/PngFile.h"

// harntool devicetest: opens the game window and draws through the graphics device what the
// renderer will need (a textured, lit, depth-tested mesh from static buffers with a vertex shader;
// a render target shown as an alpha-blended sprite; additive particles; a translucent overlay),
// then optionally saves the last frame as a PNG picture.
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kTargetSize = 256;
constexpr float kTurnPerFrame = 0.03f;  // radians

struct Options {
    std::string screenshot;
    std::string dataDir = HARN_DATA_DIR;
    int frames = 120;
};

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--screenshot") == 0 && hasValue) options->screenshot = argv[++i];
        else if (std::strcmp(argv[i], "--frames") == 0 && hasValue) options->frames = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--data") == 0 && hasValue) options->dataDir = argv[++i];
        else return false;
    }
    return options->frames > 0;
}

uint32_t Color(float r, float g, float b, float a)
{
    auto byte = [](float v) { return static_cast<uint32_t>(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f); };
    return PackColor(byte(a), byte(r), byte(g), byte(b));
}

std::vector<uint8_t> CheckerPixels(int size)
{
    std::vector<uint8_t> pixels;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool dark = ((x / 8) + (y / 8)) % 2 != 0;
            pixels.insert(pixels.end(), {static_cast<uint8_t>(dark ? 230 : 255), static_cast<uint8_t>(dark ? 120 : 245),
                                         static_cast<uint8_t>(dark ? 40 : 220), 255});
        }
    }
    return pixels;
}

// White with a soft round falloff, for additive particles.
std::vector<uint8_t> GlowPixels(int size)
{
    std::vector<uint8_t> pixels;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f) / static_cast<float>(size) * 2.0f - 1.0f;
            const float dy = (static_cast<float>(y) + 0.5f) / static_cast<float>(size) * 2.0f - 1.0f;
            const float falloff = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
            const auto v = static_cast<uint8_t>(255.0f * falloff * falloff);
            pixels.insert(pixels.end(), {v, v, v, v});
        }
    }
    return pixels;
}

// A unit cube, four vertices a face, each triangle clockwise seen from outside (front-facing).
void BuildCube(std::vector<MeshVertex>* vertices, std::vector<uint16_t>* indices)
{
    const float normals[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const auto& n : normals) {
        // Two axes across the face.
        const bool alongX = n[0] != 0, alongY = n[1] != 0;
        const float ax[3] = {alongX ? 0.0f : 1.0f, 0.0f, alongX ? 1.0f : 0.0f};
        const float v[3] = {0.0f, alongY ? 0.0f : 1.0f, alongY ? 1.0f : 0.0f};
        const auto base = static_cast<uint16_t>(vertices->size());
        const float corners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
        for (const auto& c : corners) {
            MeshVertex vertex{};
            for (int k = 0; k < 3; ++k) {
                vertex.position[k] = 0.5f * (n[k] + c[0] * ax[k] + c[1] * v[k]);
                vertex.normal[k] = n[k];
            }
            vertex.texCoord[0] = (c[0] + 1) * 0.5f;
            vertex.texCoord[1] = (1 - c[1]) * 0.5f;
            vertices->push_back(vertex);
        }
        const uint16_t triangles[2][3] = {{base, static_cast<uint16_t>(base + 2), static_cast<uint16_t>(base + 1)},
                                          {static_cast<uint16_t>(base + 1), static_cast<uint16_t>(base + 2),
                                           static_cast<uint16_t>(base + 3)}};
        for (const auto& t : triangles) {
            // Front faces have (b − a) × (c − a) along the outward normal; turn the others.
            const MeshVertex& p = (*vertices)[t[0]];
            const MeshVertex& q = (*vertices)[t[1]];
            const MeshVertex& r = (*vertices)[t[2]];
            const float e1[3] = {q.position[0] - p.position[0], q.position[1] - p.position[1], q.position[2] - p.position[2]};
            const float e2[3] = {r.position[0] - p.position[0], r.position[1] - p.position[1], r.position[2] - p.position[2]};
            const float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
            const bool outward = cross[0] * n[0] + cross[1] * n[1] + cross[2] * n[2] > 0;
            indices->insert(indices->end(), {t[0], outward ? t[1] : t[2], outward ? t[2] : t[1]});
        }
    }
}

void AddScreenQuad(std::vector<ScreenVertex>* out, float left, float top, float right, float bottom, uint32_t color)
{
    const ScreenVertex quad[6] = {
        {left, top, 0.5f, 1, color, 0, 0},    {left, bottom, 0.5f, 1, color, 0, 1}, {right, top, 0.5f, 1, color, 1, 0},
        {right, top, 0.5f, 1, color, 1, 0},   {left, bottom, 0.5f, 1, color, 0, 1}, {right, bottom, 0.5f, 1, color, 1, 1},
    };
    out->insert(out->end(), quad, quad + 6);
}

class DeviceDemo {
public:
    explicit DeviceDemo(GraphicsDevice* device) : device_(device) {}

    bool Load(const std::string& dataDir)
    {
        const std::vector<uint8_t> checker = CheckerPixels(64);
        const std::vector<uint8_t> glow = GlowPixels(32);
        checker_ = device_->CreateTexture(64, 64, checker.data(), true);
        glow_ = device_->CreateTexture(32, 32, glow.data(), true);
        target_ = device_->CreateRenderTarget(kTargetSize, kTargetSize);
        std::vector<MeshVertex> vertices;
        std::vector<uint16_t> indices;
        BuildCube(&vertices, &indices);
        cubeVertices_ = device_->CreateVertexBuffer(vertices.data(), static_cast<uint32_t>(vertices.size()));
        cubeIndices_ = device_->CreateIndexBuffer(indices.data(), static_cast<uint32_t>(indices.size()));
        lit_ = device_->CreateVertexShader((dataDir + "/devicetest/lit.vsh").c_str());
        return checker_ && glow_ && target_ && cubeVertices_ && cubeIndices_ && lit_;
    }

    void Frame(int frame)
    {
        const float angle = kTurnPerFrame * static_cast<float>(frame);
        device_->SetRenderTarget(0, target_->GetSurfaceLevel0());
        device_->Clear(ClearFlags::Target | ClearFlags::ZBuffer, Color(0.1f, 0.35f, 0.35f, 1), 1.0f, 0);
        device_->BeginScene();
        DrawCubes(angle * 1.5f, 1.0f);
        device_->EndScene();

        device_->SetRenderTarget(0, device_->GetBackBuffer());
        device_->Clear(ClearFlags::Target | ClearFlags::ZBuffer, Color(0.06f, 0.08f, 0.2f, 1), 1.0f, 0);
        device_->BeginScene();
        DrawCubes(angle, static_cast<float>(kWidth) / kHeight);
        DrawOverlays(angle);
        device_->EndScene();
    }

private:
    void DrawCubes(float angle, float aspect)
    {
        TextureFilter::Set(TextureFilterType::Linear, TextureFilterType::Linear, TextureFilterType::Linear, 1);
        device_->SetTexture(0, checker_.get());
        device_->SetSamplerState(0, SamplerState::AddressU, TextureAddress::Wrap);
        device_->SetSamplerState(0, SamplerState::AddressV, TextureAddress::Wrap);
        TextureFilter::Apply();
        device_->SetRenderState(RenderState::ZEnable, 1);
        device_->SetRenderState(RenderState::ZWriteEnable, 1);
        device_->SetRenderState(RenderState::ZFunc, Compare::LessEqual);
        device_->SetRenderState(RenderState::CullMode, Cull::CCW);
        device_->SetRenderState(RenderState::AlphaBlendEnable, 0);
        device_->SetTextureStageState(0, StageState::ColorOp, TextureOp::Modulate);
        device_->SetTextureStageState(0, StageState::ColorArg1, TextureArg::Texture);
        device_->SetTextureStageState(0, StageState::ColorArg2, TextureArg::Diffuse);
        device_->SetTextureStageState(0, StageState::AlphaOp, TextureOp::Disable);
        device_->SetVertexShader(lit_.get());
        device_->SetPixelShader(nullptr);
        device_->SetStreamSource(cubeVertices_.get());
        device_->SetIndices(cubeIndices_.get());

        const Matrix view = Matrix::LookAtLH(Vec4(0, 1.5f, -5), Vec4(0, 0, 0), Vec4(0, 1, 0));
        const Matrix projection = Matrix::PerspectiveFovLH(Pi() / 4, aspect, 0.5f, 100.0f);
        lit_->SetVector(lit_->GetConstantByName("lightDirection"), Vec4(0.6f, 1.0f, -0.8f, 0));

        Matrix spin;
        spin.Rotate(angle, Vec4(0.3f, 1.0f, 0.2f));
        DrawCube(Matrix::Scaling(1.6f, 1.6f, 1.6f) * spin, view, projection, Vec4(1, 1, 1, 1));
        // A second cube pushed through the first: the depth test cuts where they meet.
        Matrix tumble;
        tumble.Rotate(-1.3f * angle, Vec4(1.0f, 0.2f, 0.0f));
        DrawCube(Matrix::Scaling(1.1f, 1.1f, 1.1f) * tumble * Matrix::Translation(0.9f, 0.5f, -0.4f), view, projection,
                 Vec4(0.45f, 0.75f, 1.0f, 1));
    }

    void DrawCube(const Matrix& world, const Matrix& view, const Matrix& projection, const Vec4& color)
    {
        lit_->SetMatrix(lit_->GetConstantByName("worldViewProj"), world * view * projection);
        lit_->SetMatrix(lit_->GetConstantByName("world"), world);
        lit_->SetVector(lit_->GetConstantByName("diffuseColor"), color);
        device_->SetTransform(TransformType::World, world);
        device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 12);
    }

    void DrawOverlays(float angle)
    {
        device_->SetVertexShader(nullptr);
        device_->SetRenderState(RenderState::ZEnable, 0);
        device_->SetRenderState(RenderState::CullMode, Cull::None);
        device_->SetTextureStageState(0, StageState::ColorOp, TextureOp::Modulate);
        device_->SetTextureStageState(0, StageState::AlphaOp, TextureOp::Modulate);
        device_->SetTextureStageState(0, StageState::AlphaArg1, TextureArg::Texture);
        device_->SetTextureStageState(0, StageState::AlphaArg2, TextureArg::Diffuse);
        device_->SetFVF(ScreenVertex::kFvf);

        // The render target, as a translucent picture-in-picture.
        std::vector<ScreenVertex> quads;
        AddScreenQuad(&quads, 430, 16, 430 + 192, 16 + 192, Color(1, 1, 1, 0.85f));
        Blend(Blend::SrcAlpha, Blend::InvSrcAlpha);
        device_->SetTexture(0, target_.get());
        device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quads.data(), sizeof(ScreenVertex));

        // Additive glows circling the cubes.
        quads.clear();
        const float colors[5][3] = {{1, 0.3f, 0.2f}, {0.2f, 1, 0.3f}, {0.3f, 0.4f, 1}, {1, 0.9f, 0.2f}, {1, 0.3f, 1}};
        for (int i = 0; i < 5; ++i) {
            const float a = angle * 0.7f + static_cast<float>(i) * 2.0f * Pi() / 5.0f;
            const float x = 320 + 170 * std::cos(a);
            const float y = 250 + 110 * std::sin(a);
            AddScreenQuad(&quads, x - 60, y - 60, x + 60, y + 60, Color(colors[i][0], colors[i][1], colors[i][2], 1));
        }
        Blend(Blend::One, Blend::One);
        device_->SetTexture(0, glow_.get());
        device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 10, quads.data(), sizeof(ScreenVertex));

        // A translucent band along the bottom, as the fade overlay draws.
        const uint32_t shade = Color(0, 0, 0, 0.6f);
        const ScreenColorVertex band[6] = {
            {0, 420, 0.5f, 1, shade},      {kWidth, 420, 0.5f, 1, shade}, {kWidth, kHeight, 0.5f, 1, shade},
            {kWidth, kHeight, 0.5f, 1, shade}, {0, kHeight, 0.5f, 1, shade}, {0, 420, 0.5f, 1, shade},
        };
        Blend(Blend::SrcAlpha, Blend::InvSrcAlpha);
        device_->SetTexture(0, nullptr);
        device_->SetFVF(ScreenColorVertex::kFvf);
        device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, band, sizeof(ScreenColorVertex));
        device_->SetRenderState(RenderState::AlphaBlendEnable, 0);
    }

    void Blend(uint32_t source, uint32_t destination)
    {
        device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
        device_->SetRenderState(RenderState::SrcBlend, source);
        device_->SetRenderState(RenderState::DestBlend, destination);
    }

    GraphicsDevice* device_;
    std::unique_ptr<DeviceTexture> checker_;
    std::unique_ptr<DeviceTexture> glow_;
    std::unique_ptr<DeviceTexture> target_;
    std::unique_ptr<VertexBuffer> cubeVertices_;
    std::unique_ptr<IndexBuffer> cubeIndices_;
    std::unique_ptr<DeviceShader> lit_;
};

// Removes every waiting message; true when the window was closed or Escape pressed.
bool QuitRequested()
{
    bool quit = false;
    Message message;
    while (MessageQueue::PeekMessage(&message)) {
        if (message.message == WM_QUIT || (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)) {
            quit = true;
            continue;
        }
        MessageQueue::TranslateMessage(message);
        MessageQueue::DispatchMessage(message);
    }
    return quit;
}

int RunDemo(const Options& options)
{
    GraphicsDevice* device = Display::Device();
    auto demo = std::make_unique<DeviceDemo>(device);
    if (!demo->Load(options.dataDir)) {
        std::fprintf(stderr, "harntool: cannot set up the device test (data in %s)\n", options.dataDir.c_str());
        return 1;
    }
    SdlPerformanceCounter counter;
    int64_t frequency = 1, start = 0, end = 0;
    counter.QueryFrequency(&frequency);
    counter.QueryCounter(&start);
    int frame = 0;
    for (; frame < options.frames && !QuitRequested(); ++frame) {
        demo->Frame(frame);
        const bool last = frame == options.frames - 1;
        if (last && !options.screenshot.empty()) {
            std::vector<uint8_t> rgba;
            const int width = device->GetBackBuffer()->Width(), height = device->GetBackBuffer()->Height();
            if (!device->ReadPixels(0, 0, width, height, &rgba) || !WritePng(options.screenshot, width, height, rgba)) {
                std::fprintf(stderr, "harntool: cannot write %s\n", options.screenshot.c_str());
                return 1;
            }
        }
        device->Present();
    }
    counter.QueryCounter(&end);
    const double seconds = static_cast<double>(end - start) / static_cast<double>(frequency);
    std::printf("devicetest: %d frames in %.3f s, %.2f ms a frame\n", frame, seconds,
                frame > 0 ? 1000.0 * seconds / frame : 0.0);
    if (!options.screenshot.empty()) std::printf("devicetest: screenshot %s\n", options.screenshot.c_str());
    return 0;
}

}  // namespace

int RunDeviceTestCommand(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: harntool devicetest [--frames N] [--screenshot FILE.png] [--data DIR]\n");
        return 2;
    }
    if (!Display::Init(kWidth, kHeight, false, 32, 60, 0)) {
        std::fprintf(stderr, "harntool: cannot open the display\n");
        Display::Release();
        return 1;
    }
    const int status = RunDemo(options);
    Display::Release();
    return status;
}
