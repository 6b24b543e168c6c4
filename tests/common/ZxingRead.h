// ZXing-cpp, the independent reader of our symbols: the one call behind the
// native encoder tests (tests/encoder/ZxingReader.h), the fuzz targets and
// the benchmark's check (tests/fuzz/SymbolReader.h), and the Windows tests'
// host reader (tests/win/host/vemoraQrRead.cpp).
#pragma once

// The UTF-8 text interface: it keeps ZXing 1.4 from warning about the
// deprecated wide one.
#ifndef ZX_USE_UTF8
#define ZX_USE_UTF8 1
#endif
#include <ZXing/ReadBarcode.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ZxingReading {
    // The raw content bytes, before any character-set conversion.
    std::vector<std::uint8_t> bytes;
    std::string ecLevel; // "L", "M", "Q" or "H"
    std::string text;    // the content as UTF-8, byte segments read in the given character set
};

enum class ZxingSearch {
    // One unrotated symbol on a clean background, as DrawModules makes it:
    // ZXing samples the grid directly instead of hunting for finder patterns
    // (fast enough for fuzzing).
    Pure,
    // The symbol anywhere in the picture, searched for harder: screenshots,
    // enlarged pictures, drawings with a margin of any size.
    Thorough,
};

// The QR Code symbol in a greyscale image (width x height bytes, 0 black ..
// 255 white, rows from the top), or nothing when ZXing finds no valid one.
// characterSet: how the reader takes byte segments for text (empty: it
// guesses); the bytes are raw whatever it is.
inline std::optional<ZxingReading> ReadQrWithZxing(const std::uint8_t* pixels, int width,
                                                   int height, ZxingSearch search,
                                                   const std::string& characterSet = {})
{
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    if (!characterSet.empty()) hints.setCharacterSet(characterSet);
    hints.setIsPure(search == ZxingSearch::Pure);
    hints.setTryHarder(search == ZxingSearch::Thorough);
    const ZXing::Result result =
        ZXing::ReadBarcode(ZXing::ImageView(pixels, width, height, ZXing::ImageFormat::Lum), hints);
    if (!result.isValid()) return std::nullopt;
    const ZXing::ByteArray& bytes = result.bytes();
    return ZxingReading{std::vector<std::uint8_t>(bytes.begin(), bytes.end()), result.ecLevel(),
                        result.text()};
}
