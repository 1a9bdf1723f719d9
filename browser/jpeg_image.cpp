#include "browser/jpeg_image.h"

#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

namespace browser {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return: jump back to the decoder
// with the message kept.
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void rememberAndJump(j_common_ptr info)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void ignoreWarning(j_common_ptr, int) {}

// Reads the image into 'image', which the caller has sized after the header; plain C state only, so
// that a jump out of libjpeg leaves nothing behind but what jpeg_destroy_decompress frees.
bool decodeInto(jpeg_decompress_struct& info, ErrorManager& errors, const QByteArray& bytes, QImage& image)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull()) {
        std::snprintf(errors.message, sizeof errors.message, "image of %ux%u pixels is too large",
                      info.output_width, info.output_height);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW line = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &line, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = rememberAndJump;
    errors.base.emit_message = ignoreWarning;
    QImage image;
    const bool decoded = decodeInto(info, errors, bytes, image);
    jpeg_destroy_decompress(&info);
    if (!decoded)
        throw std::runtime_error(std::string("Изображение не читается как JPEG: ") + errors.message);
    return image;
}

} // namespace browser
