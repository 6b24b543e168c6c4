#include "PeerEncoders.h"

#include <qrcodegen/qrcodegen.hpp>
#include <qrencode.h>

#include <exception>
#include <string>

#include "ZXingQREncoderAbi.h"

// libqrencode 4.1 exports the encoder with a given mask, QRcode_encodeMask
// (mask -1 = its own choice), beside QRcode_encodeInput, which always chooses;
// its public header declares only the latter.
extern "C" QRcode* QRcode_encodeMask(QRinput* input, int mask);

namespace {

QRencodeMode QrencodeMode(BenchWorkload::Kind kind)
{
    switch (kind) {
    case BenchWorkload::Kind::Numeric:
        return QR_MODE_NUM;
    case BenchWorkload::Kind::Alphanumeric:
        return QR_MODE_AN;
    case BenchWorkload::Kind::Kanji:
        return QR_MODE_KANJI;
    default:
        return QR_MODE_8;
    }
}

// Kanji mode data (ISO/IEC 18004, 7.4.6): each Shift JIS pair as a 13-bit value.
// qrcodegen has no factory for kanji segments, only the raw segment constructor.
qrcodegen::QrSegment MakeKanjiSegment(const std::vector<std::uint8_t>& sjis)
{
    std::vector<bool> bits;
    bits.reserve(sjis.size() / 2 * 13);
    for (std::size_t i = 0; i + 1 < sjis.size(); i += 2) {
        const int code = sjis[i] << 8 | sjis[i + 1];
        const int base = code <= 0x9FFC ? code - 0x8140 : code - 0xC140;
        const int value = (base >> 8) * 0xC0 + (base & 0xFF);
        for (int b = 12; b >= 0; --b) bits.push_back(((value >> b) & 1) != 0);
    }
    return qrcodegen::QrSegment(qrcodegen::QrSegment::Mode::KANJI,
                                static_cast<int>(sjis.size() / 2), std::move(bits));
}

std::vector<qrcodegen::QrSegment> QrcodegenSegments(const BenchWorkload& w)
{
    switch (w.kind) {
    case BenchWorkload::Kind::Binary:
        return {qrcodegen::QrSegment::makeBytes(w.bytes)};
    case BenchWorkload::Kind::Kanji:
        return {MakeKanjiSegment(w.bytes)};
    default: {
        // Text: qrcodegen's own choice of numeric, alphanumeric or byte mode.
        const std::string text(w.bytes.begin(), w.bytes.end());
        return qrcodegen::QrSegment::makeSegments(text.c_str());
    }
    }
}

} // namespace

int EncodeWithQrencode(const BenchWorkload& w, bool fixedMask, ModuleGrid* grid)
{
    QRinput* input = QRinput_new2(w.version, static_cast<QRecLevel>(w.level - 1));
    if (input == nullptr) return 0;
    int size = 0;
    if (QRinput_append(input, QrencodeMode(w.kind), static_cast<int>(w.bytes.size()),
                       w.bytes.data()) == 0) {
        if (QRcode* code = QRcode_encodeMask(input, fixedMask ? 0 : -1)) {
            size = code->width;
            if (grid != nullptr) {
                grid->size = size;
                grid->dark.resize(static_cast<std::size_t>(size) * size);
                for (std::size_t i = 0; i < grid->dark.size(); ++i)
                    grid->dark[i] = code->data[i] & 1;
            }
            QRcode_free(code);
        }
    }
    QRinput_free(input);
    return size;
}

int EncodeWithQrcodegen(const BenchWorkload& w, bool fixedMask, ModuleGrid* grid)
{
    using qrcodegen::QrCode;
    constexpr QrCode::Ecc levels[] = {QrCode::Ecc::LOW, QrCode::Ecc::MEDIUM, QrCode::Ecc::QUARTILE,
                                      QrCode::Ecc::HIGH};
    try {
        const int minVersion = w.version == 0 ? QrCode::MIN_VERSION : w.version;
        const int maxVersion = w.version == 0 ? QrCode::MAX_VERSION : w.version;
        const QrCode code =
            QrCode::encodeSegments(QrcodegenSegments(w), levels[w.level - 1], minVersion,
                                   maxVersion, fixedMask ? 0 : -1, false);
        const int size = code.getSize();
        if (grid != nullptr) {
            grid->size = size;
            grid->dark.resize(static_cast<std::size_t>(size) * size);
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    grid->dark[static_cast<std::size_t>(y) * size + x] = code.getModule(x, y);
        }
        return size;
    } catch (const std::exception&) {
        return 0;
    }
}

int EncodeWithZXing(const BenchWorkload& w, bool fixedMask, ModuleGrid* grid)
{
    using ZXing::QRCode::ErrorCorrectionLevel;
    constexpr ErrorCorrectionLevel levels[] = {
        ErrorCorrectionLevel::Low, ErrorCorrectionLevel::Medium, ErrorCorrectionLevel::Quality,
        ErrorCorrectionLevel::High};
    // Unknown selects ISO-8859-1 byte mode without an ECI header; Shift JIS
    // lets ZXing choose kanji mode for text of double-byte characters only.
    const ZXing::CharacterSet charset = w.kind == BenchWorkload::Kind::Kanji
                                            ? ZXing::CharacterSet::Shift_JIS
                                            : ZXing::CharacterSet::Unknown;
    try {
        const auto result = ZXing::QRCode::Encode(w.text, levels[w.level - 1], charset, w.version,
                                                  false, fixedMask ? 0 : -1);
        const int size = result.matrix.width();
        if (grid != nullptr) {
            grid->size = size;
            grid->dark.resize(static_cast<std::size_t>(size) * size);
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    grid->dark[static_cast<std::size_t>(y) * size + x] = result.matrix.get(x, y);
        }
        return size;
    } catch (const std::exception&) {
        return 0;
    }
}
