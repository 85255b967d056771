#include "bench/GlBench.h"

#include <epoxy/gl.h>

#include <time.h>

#include <algorithm>
#include <cstdio>

#include "engine/device/DeviceVertices.h"
#include "engine/render/Renderer.h"

namespace gl_bench {

namespace {

constexpr int kWarmUpFrames = 3;

double CpuMilliseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

struct PassClock {
    GraphicsDevice* device = nullptr;
    Clock::time_point mark;
    double cpuMark = 0;
    std::map<std::string, double> milliseconds;
    std::map<std::string, double> cpuMilliseconds;
    std::vector<std::string> order;

    void Start()
    {
        Drain(device);
        mark = Clock::now();
        cpuMark = CpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
    }
};

void OnPass(void* context, const char* pass)
{
    auto* clock = static_cast<PassClock*>(context);
    Drain(clock->device);
    const Clock::time_point now = Clock::now();
    const double cpu = CpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
    if (!clock->milliseconds.count(pass)) clock->order.push_back(pass);
    clock->milliseconds[pass] += std::chrono::duration<double, std::milli>(now - clock->mark).count();
    clock->cpuMilliseconds[pass] += cpu - clock->cpuMark;
    clock->mark = now;
    clock->cpuMark = cpu;
}

double Milliseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

OpenGLDevice::Work PerFrame(const OpenGLDevice::Work& total, int frames)
{
    const auto n = static_cast<uint64_t>(std::max(frames, 1));
    return {total.draws / n,    total.primitives / n, total.programs / n, total.states / n,
            total.textures / n, total.uniforms / n,   total.buffers / n};
}

GLuint CompileRaw(GLenum kind, const char* source)
{
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// Samples that pass the depth test, per pass: counting makes the driver draw differently, so it has
// frames of its own.
struct PixelCounter {
    GLuint query = 0;
    std::map<std::string, double> samples;
    double total = 0;

    void Start() { glBeginQuery(GL_SAMPLES_PASSED, query); }
    void Stop(const char* pass)
    {
        glEndQuery(GL_SAMPLES_PASSED);
        GLuint64 passed = 0;
        glGetQueryObjectui64v(query, GL_QUERY_RESULT, &passed);
        if (pass) samples[pass] += static_cast<double>(passed);
        total += static_cast<double>(passed);
    }
};

void OnPassCount(void* context, const char* pass)
{
    auto* counter = static_cast<PixelCounter*>(context);
    counter->Stop(pass);
    counter->Start();
}

void CountPixels(OpenGLDevice& device, Renderer& renderer, int frames, const std::function<void(int)>& drawFrame,
                 FrameFigures* figures)
{
    PixelCounter counter;
    glGenQueries(1, &counter.query);
    renderer.SetPassObserver(OnPassCount, &counter);
    for (int i = 0; i < frames; ++i) {
        counter.Start();
        drawFrame(i);
        counter.Stop(nullptr);
        device.Present();
    }
    renderer.SetPassObserver(nullptr, nullptr);
    glDeleteQueries(1, &counter.query);
    figures->pixelsWritten = counter.total / frames;
    for (auto& [pass, samples] : figures->passPixels) samples = counter.samples[pass] / frames;
}

double PixelsPerSecond(const Screen& screen, int passes, Clock::time_point start)
{
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return static_cast<double>(screen.width) * screen.height * passes / seconds;
}

}  // namespace

bool Open(int width, int height, Screen* screen)
{
    screen->window = Window::Create("Harnengine benchmark", width, height, 0);
    if (!screen->window) return false;
    std::string error;
    screen->device = OpenGLDevice::Create(screen->window->Handle(), &error);
    if (!screen->device) {
        std::fprintf(stderr, "no OpenGL device: %s\n", error.c_str());
        screen->window.reset();
        return false;
    }
    screen->device->SetSwapInterval(false);
    GraphicsDevice::SetCurrent(screen->device.get());
    screen->width = width;
    screen->height = height;
    return true;
}

void Close(Screen* screen)
{
    GraphicsDevice::SetCurrent(nullptr);
    screen->device.reset();
    screen->window.reset();
}

double ProcessCpuMs()
{
    return CpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
}

void Drain(GraphicsDevice* device)
{
    std::vector<uint8_t> pixel;
    device->ReadPixels(0, 0, 1, 1, &pixel);
}

FrameFigures MeasureFrames(Screen& screen, const FrameSource& source, int frames)
{
    OpenGLDevice& device = *screen.device;
    const auto rewind = [&] {
        if (source.rewind) source.rewind();
    };
    FrameFigures figures;
    rewind();
    for (int i = 0; i < std::min(frames, kWarmUpFrames); ++i) {  // programs linked, textures resident
        source.draw(i);
        device.Present();
    }

    rewind();
    Drain(&device);
    device.ResetWork();
    const Clock::time_point start = Clock::now();
    const double cpuStart = CpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
    const double mainStart = CpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
    for (int i = 0; i < frames; ++i) {
        source.draw(i);
        device.Present();
    }
    Drain(&device);
    figures.framesPerSecond = 1000.0 * frames / Milliseconds(start, Clock::now());
    figures.cpuMs = (CpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart) / frames;
    figures.mainCpuMs = (CpuMilliseconds(CLOCK_THREAD_CPUTIME_ID) - mainStart) / frames;
    figures.work = PerFrame(device.WorkDone(), frames);

    rewind();
    std::vector<double> times;
    double presentMs = 0;
    for (int i = 0; i < frames; ++i) {
        Drain(&device);
        const Clock::time_point from = Clock::now();
        source.draw(i);
        Drain(&device);
        times.push_back(Milliseconds(from, Clock::now()));
        const Clock::time_point presenting = Clock::now();
        device.Present();
        Drain(&device);
        presentMs += Milliseconds(presenting, Clock::now());
    }
    figures.presentMs = presentMs / frames;
    const auto slowest = std::max_element(times.begin(), times.end());
    figures.slowestMs = *slowest;
    figures.slowestFrame = static_cast<int>(slowest - times.begin());
    std::sort(times.begin(), times.end());
    figures.medianMs = times[times.size() / 2];

    rewind();
    PassClock clock;
    clock.device = &device;
    source.renderer->SetPassObserver(OnPass, &clock);
    for (int i = 0; i < frames; ++i) {
        clock.Start();
        source.draw(i);
        device.Present();
    }
    source.renderer->SetPassObserver(nullptr, nullptr);
    for (const std::string& pass : clock.order) {
        figures.passMs.emplace_back(pass, clock.milliseconds[pass] / frames);
        figures.passCpuMs.emplace_back(pass, clock.cpuMilliseconds[pass] / frames);
        figures.passPixels.emplace_back(pass, 0.0);
    }
    rewind();
    CountPixels(device, *source.renderer, frames, source.draw, &figures);
    return figures;
}

double RawFillRate(Screen& screen, int passes)
{
    const GLuint vertex = CompileRaw(GL_VERTEX_SHADER, "#version 330 core\nlayout(location = 0) in vec2 p;\n"
                                                       "void main() { gl_Position = vec4(p, 0.0, 1.0); }\n");
    const GLuint pixel = CompileRaw(GL_FRAGMENT_SHADER, "#version 330 core\nout vec4 c;\n"
                                                        "void main() { c = vec4(0.5, 0.25, 0.125, 1.0); }\n");
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, pixel);
    glLinkProgram(program);
    const float quad[12] = {-1, -1, 1, -1, 1, 1, 1, 1, -1, 1, -1, -1};
    GLuint array = 0, buffer = 0;
    glGenVertexArrays(1, &array);
    glBindVertexArray(array);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glUseProgram(program);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, screen.width, screen.height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glFinish();
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < passes; ++i) glDrawArrays(GL_TRIANGLES, 0, 6);
    glFinish();
    const double rate = PixelsPerSecond(screen, passes, start);
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &array);
    glDeleteProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(pixel);
    return rate;
}

double DeviceFillRate(Screen& screen, int passes)
{
    GraphicsDevice& device = *screen.device;
    const auto w = static_cast<float>(screen.width), h = static_cast<float>(screen.height);
    const uint32_t color = 0x80402010u;
    const ScreenColorVertex corners[6] = {{0, 0, 0.5f, 1, color}, {w, 0, 0.5f, 1, color}, {w, h, 0.5f, 1, color},
                                          {w, h, 0.5f, 1, color}, {0, h, 0.5f, 1, color}, {0, 0, 0.5f, 1, color}};
    device.SetRenderTarget(0, nullptr);
    device.SetVertexShader(nullptr);
    device.SetPixelShader(nullptr);
    device.SetFVF(ScreenColorVertex::kFvf);
    device.SetRenderState(RenderState::ZEnable, 0);
    device.SetRenderState(RenderState::CullMode, Cull::None);
    device.SetRenderState(RenderState::AlphaBlendEnable, 1);
    device.SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
    device.SetRenderState(RenderState::DestBlend, Blend::InvSrcAlpha);
    device.SetTexture(0, nullptr);
    device.SetTextureStageState(0, StageState::ColorOp, TextureOp::SelectArg1);
    device.SetTextureStageState(0, StageState::ColorArg1, TextureArg::Diffuse);
    device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::SelectArg1);
    device.SetTextureStageState(0, StageState::AlphaArg1, TextureArg::Diffuse);
    device.SetTextureStageState(1, StageState::ColorOp, TextureOp::Disable);
    device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, corners, sizeof(ScreenColorVertex));
    Drain(&device);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < passes; ++i) device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, corners, sizeof(ScreenColorVertex));
    Drain(&device);
    return PixelsPerSecond(screen, passes, start);
}

void PrintFigures(const char* title, const Screen& screen, const FrameFigures& figures, double rawFill)
{
    const OpenGLDevice::Work& work = figures.work;
    const double pixelsPerSecond = figures.pixelsWritten * figures.framesPerSecond;
    std::printf("%s %d x %d: %.1f frames/s (%.2f ms); drained: median %.2f ms, slowest %.2f ms (frame %d)\n", title,
                screen.width, screen.height, figures.framesPerSecond, 1000.0 / figures.framesPerSecond, figures.medianMs,
                figures.slowestMs, figures.slowestFrame);
    std::printf("  processor time a frame: %.2f ms in all threads, %.2f ms in the drawing thread\n", figures.cpuMs,
                figures.mainCpuMs);
    std::printf("  a frame: %llu draws of %llu triangles; OpenGL calls: %llu programs, %llu state, %llu texture, "
                "%llu uniform, %llu buffer\n",
                static_cast<unsigned long long>(work.draws), static_cast<unsigned long long>(work.primitives),
                static_cast<unsigned long long>(work.programs),
                static_cast<unsigned long long>(work.states), static_cast<unsigned long long>(work.textures),
                static_cast<unsigned long long>(work.uniforms), static_cast<unsigned long long>(work.buffers));
    std::printf("  pixels written %.2f M a frame = %.1f M/s (%.0f%% of the trivial pass's %.1f M/s)\n",
                figures.pixelsWritten / 1e6, pixelsPerSecond / 1e6, 100.0 * pixelsPerSecond / rawFill, rawFill / 1e6);
    std::printf("  present %.2f ms; per pass (drained), ms:", figures.presentMs);
    for (const auto& [pass, ms] : figures.passMs) std::printf(" %s %.2f", pass.c_str(), ms);
    std::printf("\n  per pass, processor ms (all threads):");
    for (const auto& [pass, ms] : figures.passCpuMs) std::printf(" %s %.2f", pass.c_str(), ms);
    std::printf("\n  per pass, M pixels written:");
    for (const auto& [pass, pixels] : figures.passPixels) std::printf(" %s %.2f", pass.c_str(), pixels / 1e6);
    std::printf("\n");
}

bool ParseSize(const char* text, int* width, int* height)
{
    return std::sscanf(text, "%dx%d", width, height) == 2 && *width > 0 && *height > 0 && *width <= 4096 &&
           *height <= 4096;
}

}  // namespace gl_bench
