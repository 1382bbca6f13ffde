#include "platform/jpegimage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace JpegImage {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's default would end the process; jump back to the decoder instead.
[[noreturn]] void errorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void silence(j_common_ptr, int) {}

} // namespace

std::optional<JpegPixels> decode(const QByteArray& bytes, QString* error) {
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("Empty picture");
        return std::nullopt;
    }
    jpeg_decompress_struct info{};
    ErrorManager manager{};
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = errorExit;
    manager.base.emit_message = silence;
    // Everything that must survive the jump lives outside the jumping frame's registers.
    JpegPixels* volatile result = nullptr;
    if (setjmp(manager.jump)) {
        if (error)
            *error = QString::fromLocal8Bit(manager.message);
        jpeg_destroy_decompress(&info);
        delete result;
        return std::nullopt;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    // Refused before decoding starts: a progressive picture's whole-image buffers are allocated
    // from the header's size, which a few bytes of a hostile file can make enormous.
    if (info.image_width == 0 || info.image_height == 0 || qint64(info.image_width) * info.image_height > kMaxPixels) {
        if (error)
            *error = QStringLiteral("Unsupported picture size or colours");
        jpeg_destroy_decompress(&info);
        return std::nullopt;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || qint64(info.output_width) * info.output_height > kMaxPixels ||
        info.output_width == 0 || info.output_height == 0) {
        if (error)
            *error = QStringLiteral("Unsupported picture size or colours");
        jpeg_destroy_decompress(&info);
        return std::nullopt;
    }
    result = new JpegPixels;
    result->width = int(info.output_width);
    result->height = int(info.output_height);
    const qsizetype stride = qsizetype(result->width) * 3;
    result->rgb.resize(stride * result->height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(result->rgb.data() + stride * info.output_scanline);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    JpegPixels pixels = std::move(*result);
    delete result;
    return pixels;
}

std::optional<JpegPixels> decodeFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return decode(file.readAll(), error);
}

} // namespace JpegImage
