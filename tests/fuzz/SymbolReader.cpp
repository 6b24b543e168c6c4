#include "SymbolReader.h"

// Only bytes() is read; the UTF-8 text interface keeps ZXing 1.4 from warning.
#define ZX_USE_UTF8 1

#include <ZXing/ReadBarcode.h>

#include <algorithm>

std::optional<std::vector<std::uint8_t>> ReadSymbolBytes(const std::uint8_t* cells, int size,
                                                         int stride, int pixelsPerModule)
{
    if (cells == nullptr || size <= 0 || stride < size || pixelsPerModule < 1 ||
        pixelsPerModule > 16)
        return std::nullopt;
    constexpr int quietZone = 4; // ISO/IEC 18004, 6.3.8
    const int side = (size + 2 * quietZone) * pixelsPerModule;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side) * side, 0xFF);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            if (cells[static_cast<std::size_t>(row) * stride + column] == 0) continue;
            const int y0 = (row + quietZone) * pixelsPerModule;
            const int x0 = (column + quietZone) * pixelsPerModule;
            for (int y = y0; y < y0 + pixelsPerModule; ++y)
                std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * side + x0,
                            pixelsPerModule, 0);
        }
    }

    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    // Pure: one unrotated symbol on a clean background, so ZXing samples the
    // grid directly instead of hunting for finder patterns in a photo.
    hints.setIsPure(true);
    hints.setTryHarder(false);
    const ZXing::Result result = ZXing::ReadBarcode(
        ZXing::ImageView(pixels.data(), side, side, ZXing::ImageFormat::Lum), hints);
    if (!result.isValid()) return std::nullopt;
    const ZXing::ByteArray& bytes = result.bytes();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}
