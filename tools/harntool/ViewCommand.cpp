#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/MessageQueue.h"
#include "engine/platform/SdlPerformanceCounter.h"
#include "engine/device/Display.h"
#include "engine/device/TextureFilter.h"
#include "engine/device/GraphicsDevice.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/TextureCache.h"
#include "tools/harntool/Commands.h"
#include "tools/harntool/PngFile.h"

// harntool view MODEL.3df: the model on the engine's own renderer, lit by its lights and a light
// that follows the eye, its animation playing, glow on. Drag with the left mouse button to orbit,
// turn the wheel to move closer; C steps through the model's cameras, 0 returns to orbiting,
// G turns glow off and on, space pauses, Escape quits.
//
// With --screenshot the model is drawn for --frames frames at fixed steps of 1/60 s, the last one
// is saved and the tool exits: it then needs no one at the window (Xvfb will do). --at starts the
// animation at a given time, --camera looks through one of the model's cameras, --look from a
// fixed eye, --orbit sets the orbit's start; --placed shows objects and lights where the game's
// level puts them (no animation), and --ambient and --no-headlight light it as a scene.
namespace {

constexpr float kFixedStep = 1.0f / 60.0f;  // seconds a frame with --screenshot
constexpr float kMaxStep = 0.1f;             // seconds; longer pauses are not caught up
constexpr float kOrbitPerPixel = 0.01f;      // radians per pixel dragged
constexpr float kZoomPerNotch = 0.9f;        // distance factor per wheel notch
constexpr float kMaxPitch = 1.5f;            // radians, just short of straight up or down

struct Options {
    std::string model;
    std::string screenshot;
    int frames = 0;  // 0: until the window closes
    int width = 800;
    int height = 600;
    std::string camera;          // empty: orbit
    float at = 0.0f;             // seconds of animation before the first frame
    bool look = false;           // a fixed eye and target instead of the orbit
    float lookValues[6] = {};    // eye x, y, z, target x, y, z
    bool orbit = false;
    float orbitValues[3] = {};   // yaw, pitch (radians), distance (0: from the model's size)
    float ambient = 0.2f;
    bool headlight = true;
    bool placed = false;
};

// count comma-separated numbers, all finite, and nothing else.
bool ParseNumbers(const char* text, float* values, int count)
{
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        values[i] = std::strtof(text, &end);
        if (end == text || !std::isfinite(values[i])) return false;
        if (*end != (i + 1 < count ? ',' : '\0')) return false;
        text = end + 1;
    }
    return true;
}

bool ParseSize(const char* text, int* width, int* height)
{
    return std::sscanf(text, "%dx%d", width, height) == 2 && *width > 0 && *height > 0 && *width <= 8192 &&
           *height <= 8192;
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--screenshot") == 0 && hasValue) {
            options->screenshot = argv[++i];
        } else if (std::strcmp(argv[i], "--frames") == 0 && hasValue) {
            options->frames = std::atoi(argv[++i]);
            if (options->frames <= 0) return false;
        } else if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
            if (!ParseSize(argv[++i], &options->width, &options->height)) return false;
        } else if (std::strcmp(argv[i], "--camera") == 0 && hasValue) {
            options->camera = argv[++i];
            if (options->camera.empty() || options->camera.size() >= SceneCamera::kNameSize) return false;
        } else if (std::strcmp(argv[i], "--at") == 0 && hasValue) {
            if (!ParseNumbers(argv[++i], &options->at, 1) || options->at < 0.0f) return false;
        } else if (std::strcmp(argv[i], "--look") == 0 && hasValue) {
            options->look = ParseNumbers(argv[++i], options->lookValues, 6);
            if (!options->look) return false;
        } else if (std::strcmp(argv[i], "--orbit") == 0 && hasValue) {
            options->orbit = ParseNumbers(argv[++i], options->orbitValues, 3) && options->orbitValues[2] >= 0.0f;
            if (!options->orbit) return false;
        } else if (std::strcmp(argv[i], "--ambient") == 0 && hasValue) {
            if (!ParseNumbers(argv[++i], &options->ambient, 1) || options->ambient < 0.0f || options->ambient > 1.0f) return false;
        } else if (std::strcmp(argv[i], "--no-headlight") == 0) {
            options->headlight = false;
        } else if (std::strcmp(argv[i], "--placed") == 0) {
            options->placed = true;
        } else if (argv[i][0] != '-' && options->model.empty()) {
            options->model = argv[i];
        } else {
            return false;
        }
    }
    if (!options->screenshot.empty() && options->frames == 0) options->frames = 1;
    if (options->look && !options->camera.empty()) return false;
    return !options->model.empty();
}

// The camera's place around the model: angles about its centre and the distance from it.
struct Orbit {
    Vec4 centre{0.0f, 0.0f, 0.0f, 1.0f};
    float yaw = 0.6f;
    float pitch = 0.4f;
    float distance = 100.0f;
    bool dragging = false;

    Vec4 Eye() const
    {
        const float flat = std::cos(pitch) * distance;
        return Vec4(centre.x - std::sin(yaw) * flat, centre.y + std::sin(pitch) * distance,
                    centre.z - std::cos(yaw) * flat);
    }
};

// Mouse events reach the tool through a watch, since the message queue reads SDL's queue.
int WatchMouse(void* data, SDL_Event* event)
{
    auto* orbit = static_cast<Orbit*>(data);
    switch (event->type) {
    case SDL_MOUSEBUTTONDOWN:
        if (event->button.button == SDL_BUTTON_LEFT) orbit->dragging = true;
        break;
    case SDL_MOUSEBUTTONUP:
        if (event->button.button == SDL_BUTTON_LEFT) orbit->dragging = false;
        break;
    case SDL_MOUSEMOTION:
        if (orbit->dragging) {
            orbit->yaw -= static_cast<float>(event->motion.xrel) * kOrbitPerPixel;
            orbit->pitch = std::clamp(orbit->pitch + static_cast<float>(event->motion.yrel) * kOrbitPerPixel,
                                      -kMaxPitch, kMaxPitch);
        }
        break;
    case SDL_MOUSEWHEEL:
        orbit->distance *= std::pow(kZoomPerNotch, static_cast<float>(event->wheel.y));
        break;
    default: break;
    }
    return 0;
}

// The box around every object at its loaded placement: centre and the radius of its sphere.
void ModelBounds(const SceneModel& model, Vec4* centre, float* radius)
{
    Vec4 lo(1e30f, 1e30f, 1e30f), hi(-1e30f, -1e30f, -1e30f);
    for (const SceneObject& object : model.Objects()) {
        const Vec4& a = object.BoxMin();
        const Vec4& b = object.BoxMax();
        for (int i = 0; i < 8; ++i) {
            const Vec4 p = object.local.Transform(Vec4((i & 1) ? b.x : a.x, (i & 2) ? b.y : a.y, (i & 4) ? b.z : a.z));
            lo = Vec4(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
            hi = Vec4(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
        }
    }
    if (model.Objects().Count() == 0) {
        *centre = Vec4(0, 0, 0);
        *radius = 10.0f;
        return;
    }
    *centre = Vec4((lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f);
    *radius = std::max(1.0f, 0.5f * (hi - lo).Length());
}

struct ViewState {
    int camera = -1;  // −1: orbiting; else the model's camera of that index
    bool paused = false;
    bool quit = false;
};

void HandleMessages(const SceneModel& model, Renderer& renderer, ViewState* state)
{
    Message message;
    while (MessageQueue::PeekMessage(&message)) {
        if (message.message == WM_QUIT || message.message == WM_CLOSE) state->quit = true;
        if (message.message != WM_KEYDOWN) continue;
        const uint32_t key = static_cast<uint32_t>(message.wParam);
        const int cameras = static_cast<int>(model.Cameras().Count());
        if (key == VK_ESCAPE) state->quit = true;
        else if (key == 'C' && cameras > 0) state->camera = (state->camera + 1) % cameras;
        else if (key == '0') state->camera = -1;
        else if (key == 'G') renderer.SetGlowEnabled(!renderer.GlowEnabled());
        else if (key == VK_SPACE) state->paused = !state->paused;
    }
}

bool SaveScreenshot(const std::string& path)
{
    GraphicsDevice* device = Display::Device();
    const int width = device->GetBackBuffer()->Width(), height = device->GetBackBuffer()->Height();
    std::vector<uint8_t> rgba;
    return device->ReadPixels(0, 0, width, height, &rgba) && WritePng(path, width, height, rgba);
}

// The index of the first camera of that name; the first camera when none has it, as the game
// chooses (−1 for a model without cameras).
int CameraIndex(const SceneModel& model, const std::string& name)
{
    for (uint32_t i = 0; i < model.Cameras().Count(); ++i)
        if (model.Cameras().At(i).IsNamed(name.c_str())) return static_cast<int>(i);
    return model.Cameras().Count() > 0 ? 0 : -1;
}

int RunViewer(SceneModel& model, const Options& options)
{
    Renderer renderer;
    // A shader source that is missing or does not compile has had its compiler messages logged;
    // the viewer stops in order rather than drawing a frame it cannot draw right.
    if (!renderer.SetUpScene()) {
        std::fprintf(stderr, "harntool: the renderer's shaders or targets could not be set up\n");
        return 1;
    }
    renderer.SetBackgroundColor(Vec4(0.12f, 0.13f, 0.16f, 1));
    renderer.SetAmbientColor(Vec4(options.ambient, options.ambient, options.ambient, 1));
    renderer.SetGlowEnabled(true);
    renderer.SetBlur(0.012f);

    Orbit orbit;
    float radius = 10.0f;
    ModelBounds(model, &orbit.centre, &radius);
    orbit.distance = radius * 2.6f;
    if (options.orbit) {
        orbit.yaw = options.orbitValues[0];
        orbit.pitch = std::clamp(options.orbitValues[1], -kMaxPitch, kMaxPitch);
        if (options.orbitValues[2] > 0.0f) orbit.distance = options.orbitValues[2];
    }
    SDL_AddEventWatch(WatchMouse, &orbit);

    PointLight headLight;
    headLight.colour = Vec4(0.9f, 0.9f, 0.85f, 1);
    headLight.radius = radius * 6.0f;

    SdlPerformanceCounter counter;
    int64_t frequency = 1, last = 0, now = 0;
    counter.QueryFrequency(&frequency);
    counter.QueryCounter(&last);
    ViewState state;
    if (!options.camera.empty()) state.camera = CameraIndex(model, options.camera);
    const Matrix parent;
    for (int frame = 0; !state.quit && (options.frames == 0 || frame < options.frames); ++frame) {
        HandleMessages(model, renderer, &state);
        counter.QueryCounter(&now);
        float step = options.frames > 0 ? kFixedStep : std::min(kMaxStep, static_cast<float>(now - last) / static_cast<float>(frequency));
        last = now;
        if (state.paused) step = 0.0f;
        if (frame == 0) step = options.at;

        if (options.placed) {
            model.PlaceObjects(renderer, parent);
            model.PlaceLights(renderer, parent);
        } else {
            model.AnimateObjects(renderer, parent, step);
            model.AnimateLights(renderer, parent, step);
        }
        if (options.look && state.camera < 0) {
            const float* v = options.lookValues;
            renderer.GetCamera().SetProjection(Pi() / 4.0f, renderer.DisplayAspect());
            renderer.GetCamera().SetLook(Vec4(v[0], v[1], v[2]), Vec4(v[3], v[4], v[5]), Vec4(0, 1, 0));
        } else if (state.camera >= 0) {
            model.SelectCamera(renderer, parent, model.Cameras().At(static_cast<uint32_t>(state.camera)).name, step);
        } else {
            renderer.GetCamera().SetProjection(Pi() / 4.0f, renderer.DisplayAspect());
            renderer.GetCamera().SetLook(orbit.Eye(), orbit.centre, Vec4(0, 1, 0));
        }
        headLight.position = renderer.GetCamera().Eye() + Vec4(0, radius, 0);
        if (options.headlight) renderer.AddLight(&headLight);
        renderer.Render(Vec4(0, 0, 0, 1), 0.0f);
        if (!options.screenshot.empty() && frame == options.frames - 1 && !SaveScreenshot(options.screenshot)) {
            std::fprintf(stderr, "harntool: cannot write %s\n", options.screenshot.c_str());
            SDL_DelEventWatch(WatchMouse, &orbit);
            return 1;
        }
        Display::Device()->Present();
    }
    SDL_DelEventWatch(WatchMouse, &orbit);
    if (!options.screenshot.empty()) std::printf("view: screenshot %s\n", options.screenshot.c_str());
    return 0;
}

}  // namespace

int RunViewCommand(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: harntool view MODEL.3df [--screenshot FILE.png] [--frames N] [--size WxH]\n"
                             "                          [--at SECONDS] [--camera NAME | --look EX,EY,EZ,TX,TY,TZ]\n"
                             "                          [--orbit YAW,PITCH,DISTANCE] [--ambient A] [--no-headlight] [--placed]\n");
        return 2;
    }
    namespace fs = std::filesystem;
    std::error_code error;
    // Texture names in a model are relative to its folder: load from there.
    const fs::path modelPath = fs::absolute(options.model, error);
    if (!options.screenshot.empty()) options.screenshot = fs::absolute(options.screenshot, error).string();
    if (modelPath.has_parent_path()) fs::current_path(modelPath.parent_path(), error);

    if (!Display::Init(options.width, options.height, false, 32, 60, 0)) {
        std::fprintf(stderr, "harntool: cannot open the display\n");
        return 1;
    }
    TextureFilter::Set(TextureFilterType::Linear, TextureFilterType::Linear, TextureFilterType::Linear, 1);
    int status = 1;
    {
        SceneModel model;
        if (!model.Load(modelPath.filename().string().c_str())) {
            std::fprintf(stderr, "harntool: cannot load %s\n", options.model.c_str());
        } else {
            status = RunViewer(model, options);
        }
    }
    TextureCache::Clear();
    Display::Release();
    return status;
}
