#include "pictures.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;

struct Rgb {
    unsigned char r, g, b;
};

const Rgb kPalette[] = {{180, 40, 40}, {40, 90, 170},  {60, 140, 70},  {200, 150, 30},
                        {90, 90, 90},  {140, 60, 150}, {30, 150, 160}, {120, 80, 40}};

std::vector<unsigned char> drawShape(int variant) {
    std::vector<unsigned char> pixels(kWidth * kHeight * 3, 245);
    const Rgb ink = kPalette[variant % 8];
    const int shape = (variant / 8) % 3;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double dx = x - kWidth / 2.0, dy = y - kHeight / 2.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            bool on = false;
            if (shape == 0) // a brake disc: ring with a hub
                on = (r < 65 && r > 25) || r < 12;
            else if (shape == 1) // a pad: rounded slab
                on = std::abs(dx) < 80 && std::abs(dy) < 35 && (std::abs(dx) < 60 || std::abs(dy) < 20);
            else // a filter: cylinder with ribs
                on = std::abs(dx) < 45 && std::abs(dy) < 60 && (std::abs(dy) > 50 || (x / 6) % 2 == 0);
            if (on) {
                unsigned char* p = &pixels[(y * kWidth + x) * 3];
                const int shade = (x + y + variant * 13) % 40;
                p[0] = static_cast<unsigned char>(std::min(255, ink.r + shade));
                p[1] = static_cast<unsigned char>(std::min(255, ink.g + shade));
                p[2] = static_cast<unsigned char>(std::min(255, ink.b + shade));
            }
        }
    }
    return pixels;
}

} // namespace

std::string MakePartPicture(int variant) {
    std::vector<unsigned char> pixels = drawShape(variant);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 70, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &pixels[cinfo.next_scanline * kWidth * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string jpeg(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return jpeg;
}
