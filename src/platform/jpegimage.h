#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <optional>

// A decoded JPEG picture: width × height pixels, three bytes (R, G, B) each, rows top to bottom
// without padding.
struct JpegPixels {
    int width = 0;
    int height = 0;
    QByteArray rgb;
};

namespace JpegImage {

// Pictures wider or higher than this are refused rather than allocated.
inline constexpr int kMaxSide = 4096;
// Nor may a picture have more pixels than this many per byte of its file (or kMinBudget): a
// few bytes of a hostile file can claim a size whose buffers (a progressive picture's are
// allocated whole from its header) take hundreds of megabytes.
inline constexpr qint64 kPixelsPerByte = 512;
inline constexpr qint64 kMinBudget = qint64(2) * 1024 * 1024;

// nullopt (with the reason) for bytes that are not a readable JPEG picture. With a `fitInto`
// box the picture is decoded scaled down by libjpeg (in eighths) to the smallest size that still
// fills the box's room at the picture's proportions; never scaled up.
std::optional<JpegPixels> decode(const QByteArray& bytes, QString* error = nullptr, QSize fitInto = QSize());
std::optional<JpegPixels> decodeFile(const QString& path, QString* error = nullptr, QSize fitInto = QSize());

} // namespace JpegImage
