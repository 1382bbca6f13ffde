#include "platform/jpegimage.h"

#include <QFile>

#include <algorithm>
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

// The smallest number of eighths at which the picture still fills the box's room.
unsigned eighthsToFill(unsigned width, unsigned height, QSize box) {
    if (!box.isValid() || box.isEmpty())
        return 8;
    const QSize room = QSize(int(width), int(height)).scaled(box, Qt::KeepAspectRatio);
    for (unsigned m = 1; m < 8; ++m)
        if ((qint64(width) * m + 7) / 8 >= room.width() && (qint64(height) * m + 7) / 8 >= room.height())
            return m;
    return 8;
}

} // namespace

std::optional<JpegPixels> decode(const QByteArray& bytes, QString* error, QSize fitInto) {
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
    const qint64 budget = std::max(kMinBudget, qint64(bytes.size()) * kPixelsPerByte);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > unsigned(kMaxSide) ||
        info.image_height > unsigned(kMaxSide) || qint64(info.image_width) * info.image_height > budget) {
        if (error)
            *error = QStringLiteral("Unsupported picture size or colours");
        jpeg_destroy_decompress(&info);
        return std::nullopt;
    }
    info.out_color_space = JCS_RGB;
    info.scale_num = eighthsToFill(info.image_width, info.image_height, fitInto);
    info.scale_denom = 8;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width > unsigned(kMaxSide) ||
        info.output_height > unsigned(kMaxSide) || info.output_width == 0 || info.output_height == 0) {
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

std::optional<JpegPixels> decodeFile(const QString& path, QString* error, QSize fitInto) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return decode(file.readAll(), error, fitInto);
}

} // namespace JpegImage
