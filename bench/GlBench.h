#pragma once

// What the OpenGL benchmarks share: a window with the device, frames timed one by one, the time of
// each pass, the device's work per frame, the pixels a frame writes, and the software renderer's
// own fill rate. Run them inside a display: tests/with_display.sh build/default/bench/NAME.
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/device/OpenGLDevice.h"
#include "engine/platform/Window.h"

class Renderer;

namespace gl_bench {

using Clock = std::chrono::steady_clock;

// A window of that size with an OpenGL device, current and presenting without waiting.
struct Screen {
    std::unique_ptr<Window> window;
    std::unique_ptr<OpenGLDevice> device;
    int width = 0;
    int height = 0;
};
bool Open(int width, int height, Screen* screen);
void Close(Screen* screen);

// Waits until the device has drawn everything asked of it (a one-pixel read).
void Drain(GraphicsDevice* device);
// Processor time of the whole process so far (every thread, the driver's too), in ms.
double ProcessCpuMs();

// What one frame costs, as medians over the frames measured.
struct FrameFigures {
    double framesPerSecond = 0;   // frames over the wall time of all of them, not drained between
    double cpuMs = 0;             // processor time a frame, every thread of the process (the driver's too)
    double mainCpuMs = 0;         // of which the thread that draws
    double medianMs = 0;          // drained frame by frame
    double slowestMs = 0;
    double presentMs = 0;         // showing the frame, drained
    int slowestFrame = 0;
    OpenGLDevice::Work work;      // per frame
    double pixelsWritten = 0;     // samples passing the depth test, per frame
    std::vector<std::pair<std::string, double>> passMs;      // drained after every pass
    std::vector<std::pair<std::string, double>> passCpuMs;   // processor time of each pass, all threads
    std::vector<std::pair<std::string, double>> passPixels;  // samples passing the depth test
};

// What MeasureFrames draws: frame i submitted and rendered (not presented) by draw(i), after
// rewind() has gone back to frame 0 (none: the frames can be drawn again as they are).
struct FrameSource {
    Renderer* renderer = nullptr;
    std::function<void(int)> draw;
    std::function<void()> rewind;
};

// Draws `frames` frames of the source four ways: free-running, drained one by one, drained after
// every pass of the renderer, and counting the pixels each pass writes.
FrameFigures MeasureFrames(Screen& screen, const FrameSource& source, int frames);

// Pixels a second that OpenGL fills with a trivial full-screen pass (a constant colour, no depth,
// no blending), outside the device.
double RawFillRate(Screen& screen, int passes);
// The same through the device: a full-screen screen-space quad, blended, through the emulated
// texture stages, as the fade overlay draws.
double DeviceFillRate(Screen& screen, int passes);

void PrintFigures(const char* title, const Screen& screen, const FrameFigures& figures, double rawFill);

// "WxH" into width and height; false for anything else.
bool ParseSize(const char* text, int* width, int* height);

}  // namespace gl_bench
