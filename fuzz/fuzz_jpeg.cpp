// The JPEG wrapper: any bytes give a picture within the size limits whose pixel buffer matches
// its size, or a refusal with a reason; a box only ever makes the picture smaller.
#include "fuzzcheck.h"
#include "platform/jpegimage.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const QSize box(data[0] + 1, data[1] + 1);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    QString error;
    const std::optional<JpegPixels> full = JpegImage::decode(bytes, &error);
    FUZZ_CHECK(full || !error.isEmpty());
    if (!full)
        return 0;
    FUZZ_CHECK(full->width > 0 && full->height > 0);
    FUZZ_CHECK(full->width <= JpegImage::kMaxSide && full->height <= JpegImage::kMaxSide);
    FUZZ_CHECK(full->rgb.size() == qsizetype(full->width) * full->height * 3);
    const std::optional<JpegPixels> fitted = JpegImage::decode(bytes, &error, box);
    if (!fitted)
        return 0; // a picture broken further in may fail at another scale
    FUZZ_CHECK(fitted->width <= full->width && fitted->height <= full->height);
    FUZZ_CHECK(fitted->rgb.size() == qsizetype(fitted->width) * fitted->height * 3);
    return 0;
}
