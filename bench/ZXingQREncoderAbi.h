#pragma once

// ZXing-cpp 1.4's QR Code encoder, called directly.
//
// The library's public writer (MultiFormatWriter) cannot fix the mask and
// inflates the matrix into a picture with a quiet zone. libZXing.so.2 exports
// the encoder underneath, ZXing::QRCode::Encode, but Debian installs no header
// for it, so its declaration and its result type are restated here as the 1.4
// ABI lays them out. The benchmark decodes every peer's symbol before it times
// anything, so a layout that went wrong shows up as a failed check, not as a
// silently wrong figure.

#include <ZXing/BitMatrix.h>
#include <ZXing/CharacterSet.h>
#include <ZXing/ZXVersion.h>

#include <string>

static_assert(ZXING_VERSION_MAJOR == 1 && ZXING_VERSION_MINOR == 4,
              "the restated encoder ABI is that of ZXing-cpp 1.4");

namespace ZXing::QRCode {

enum class ErrorCorrectionLevel { Low, Medium, Quality, High, Invalid };

struct EncodeResult {
    ErrorCorrectionLevel ecLevel = ErrorCorrectionLevel::Invalid;
    int mode = 0;                  // ZXing::QRCode::CodecMode
    const void* version = nullptr; // const ZXing::QRCode::Version*
    int maskPattern = -1;
    BitMatrix matrix; // modules per side, no quiet zone
};

// maskPattern -1 lets ZXing choose the mask by its penalty rules; versionNumber
// 0 picks the smallest version. Throws when the content does not fit.
EncodeResult Encode(const std::wstring& content, ErrorCorrectionLevel ecLevel,
                    CharacterSet encoding, int versionNumber, bool useGs1Format, int maskPattern);

} // namespace ZXing::QRCode
