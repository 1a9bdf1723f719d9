#include "tools/agency-sim/thumbnail.h"

#include "tools/agency-sim/random.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <stdexcept>
#include <vector>

namespace agencysim {

namespace {

constexpr std::uint64_t ThumbnailStream = 0x7468756d62;
constexpr int LongSide = 100;
constexpr int ShortSide = 67;
constexpr int Quality = 80;

struct Image
{
    int width = 0;
    int height = 0;
    std::vector<JSAMPLE> pixels; // RGB rows
};

struct Rgb
{
    int r, g, b;
};

Rgb randomColour(Draws& draws)
{
    return {draws.below(256), draws.below(256), draws.below(256)};
}

int blend(int from, int to, int step, int steps)
{
    return from + (to - from) * step / steps;
}

// A vertical gradient between two colours with a filled rectangle as the "subject".
Image drawImage(Draws& draws, int width, int height)
{
    const Rgb top = randomColour(draws), bottom = randomColour(draws), subject = randomColour(draws);
    const int left = draws.below(width / 2), right = left + width / 4 + draws.below(width / 4);
    const int upper = draws.below(height / 2), lower = upper + height / 4 + draws.below(height / 4);
    Image image{width, height, {}};
    std::vector<JSAMPLE>& pixels = image.pixels;
    pixels.reserve(static_cast<std::size_t>(width * height * 3));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inside = x >= left && x < right && y >= upper && y < lower;
            const Rgb c = inside ? subject
                                 : Rgb{blend(top.r, bottom.r, y, height), blend(top.g, bottom.g, y, height),
                                       blend(top.b, bottom.b, y, height)};
            pixels.insert(pixels.end(),
                          {static_cast<JSAMPLE>(c.r), static_cast<JSAMPLE>(c.g), static_cast<JSAMPLE>(c.b)});
        }
    return image;
}

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

void leaveOnError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->base.format_message(info, errors->message);
    std::longjmp(errors->escape, 1);
}

std::string encode(const Image& image)
{
    jpeg_compress_struct info{};
    ErrorManager errors{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leaveOnError;
    if (setjmp(errors.escape)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        throw std::runtime_error(std::string("JPEG encoding failed: ") + errors.message);
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, Quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    while (info.next_scanline < info.image_height) {
        auto row = const_cast<JSAMPROW>(&image.pixels[info.next_scanline * stride]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

} // namespace

std::string thumbnailJpeg(std::uint64_t seed, std::int64_t pictureId)
{
    Draws draws(hashOf({seed, ThumbnailStream, static_cast<std::uint64_t>(pictureId)}));
    const bool portrait = draws.below(4) == 0;
    return encode(drawImage(draws, portrait ? ShortSide : LongSide, portrait ? LongSide : ShortSide));
}

} // namespace agencysim
