#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "engine/scene/Picture.h"

// libjpeg reports errors by calling back; the callback jumps back here so that a corrupt file
// fails the decode instead of ending the program. Warnings (a premature end of data among them)
// fail it too: a truncated picture is not decoded with made-up grey rows.
namespace {

struct JpegErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void FailJpeg(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrorTrap*>(info->err)->jump, 1);
}

void OnJpegMessage(j_common_ptr info, int level)
{
    if (level < 0) FailJpeg(info);
}

void IgnoreJpegOutput(j_common_ptr) {}

// Runs between setjmp and the cleanup; holds no objects with destructors of its own.
bool ReadJpegPixels(jpeg_decompress_struct& info, Picture& out)
{
    jpeg_read_header(&info, TRUE);
    // Refused before decompression starts: a progressive picture takes its whole coefficient
    // store then.
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxPictureSide ||
        info.image_height > kMaxPictureSide) {
        return false;
    }
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) return false;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) return false;
    if (!AllocatePicture(out, info.output_width, info.output_height)) return false;
    JSAMPLE row[kMaxPictureSide * 3];
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row};
        const uint32_t y = info.output_scanline;
        if (jpeg_read_scanlines(&info, rows, 1) != 1) return false;
        uint8_t* target = out.rgba.data() + static_cast<size_t>(y) * out.width * 4;
        for (uint32_t x = 0; x < out.width; ++x) {
            target[x * 4 + 0] = row[x * 3 + 0];
            target[x * 4 + 1] = row[x * 3 + 1];
            target[x * 4 + 2] = row[x * 3 + 2];
            target[x * 4 + 3] = 255;
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, Picture& out)
{
    out = Picture{};
    if (data == nullptr || size == 0 || size > 0x7FFFFFFF) return false;
    jpeg_decompress_struct info;
    JpegErrorTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = FailJpeg;
    trap.manager.emit_message = OnJpegMessage;
    trap.manager.output_message = IgnoreJpegOutput;
    jpeg_create_decompress(&info);
    volatile bool ok = false;
    if (setjmp(trap.jump) == 0) {
        jpeg_mem_src(&info, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
        ok = ReadJpegPixels(info, out);
    }
    jpeg_destroy_decompress(&info);
    if (!ok) out = Picture{};
    return ok;
}
