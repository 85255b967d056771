// What the whole-program test needs of the X server beyond xdotool's keys and clicks:
//
//   zelmar_xprobe close WINDOW      asks the window to close as a window manager's close box does
//                                   (WM_DELETE_WINDOW), rather than destroying it
//   zelmar_xprobe shot FILE.png [WINDOW]
//                                   saves the screen (or the window) and prints the share of its
//                                   pixels that are not black, 0 to 1
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "engine/scene/Picture.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

constexpr int kLitSum = 30;  // red + green + blue above which a pixel is not black

int Close(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (XSendEvent(display, window, False, NoEventMask, &event) == 0) return 1;
    XSync(display, False);
    return 0;
}

int Shot(Display* display, const char* path, Window window)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width), static_cast<unsigned>(attributes.height),
                              AllPlanes, ZPixmap);
    if (image == nullptr) return 1;
    Picture picture;
    AllocatePicture(picture, static_cast<uint32_t>(attributes.width), static_cast<uint32_t>(attributes.height));
    size_t lit = 0;
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            uint8_t* out = &picture.rgba[(static_cast<size_t>(y) * static_cast<size_t>(attributes.width) + static_cast<size_t>(x)) * 4];
            out[0] = static_cast<uint8_t>((pixel & image->red_mask) >> 16);
            out[1] = static_cast<uint8_t>((pixel & image->green_mask) >> 8);
            out[2] = static_cast<uint8_t>(pixel & image->blue_mask);
            out[3] = 255;
            lit += out[0] + out[1] + out[2] > kLitSum ? 1 : 0;
        }
    }
    XDestroyImage(image);
    const std::vector<uint8_t> png = PictureWriter::Png(picture);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    std::printf("%.3f\n", static_cast<double>(lit) / (static_cast<double>(attributes.width) * attributes.height));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool close = argc == 3 && std::strcmp(argv[1], "close") == 0;
    const bool shot = (argc == 3 || argc == 4) && std::strcmp(argv[1], "shot") == 0;
    if (!close && !shot) {
        std::fprintf(stderr, "usage: zelmar_xprobe close WINDOW | shot FILE.png [WINDOW]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "zelmar_xprobe: no X display\n");
        return 1;
    }
    const int status = close ? Close(display, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)))
                             : Shot(display, argv[2], argc == 4 ? static_cast<Window>(std::strtoul(argv[3], nullptr, 0)) : DefaultRootWindow(display));
    XCloseDisplay(display);
    return status;
}
