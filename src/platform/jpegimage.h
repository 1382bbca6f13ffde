#pragma once

#include <QByteArray>
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

// Pictures larger than this are refused rather than allocated.
inline constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;

// nullopt (with the reason) for bytes that are not a readable JPEG picture.
std::optional<JpegPixels> decode(const QByteArray& bytes, QString* error = nullptr);
std::optional<JpegPixels> decodeFile(const QString& path, QString* error = nullptr);

} // namespace JpegImage
