// clsQRCode: what would hold a message, for the advice given when it does
// not fit the version and level the user chose (7.4.10, Tables 3 and 7).
#include "clsQRCode.h"

namespace {

// The first version of each width class of the character count indicators
// (ISO/IEC 18004 Table 3): a stream has one length for all versions of a class.
constexpr int kClassFirstVersions[3] = {1, 10, 27};

// The largest number of message bytes any symbol holds: 7089 digits in
// version 40-L (Table 7).
constexpr int kMaxMessageBytes = 7089;

int WidthClass(int version) { return version >= 27 ? 2 : version >= 10 ? 1 : 0; }

} // namespace

clsQRCode::Fit clsQRCode::MeasureFit(const std::uint8_t* data, int dataLength, int version,
                                     int ecLevel) const
{
    Fit fit{0, 0, 0, false};
    if (ecLevel < 1 || ecLevel > 4) ecLevel = 2;
    if (version > 40) version = 0;
    if (version < 0 || (data == nullptr && dataLength > 0) || dataLength > kMaxMessageBytes)
        return fit;
    if (dataLength < 0) dataLength = 0;

    // 1. The stream's length in each width class, measured, never written.
    BitArray scratch;
    int streamBits[3];
    for (int c = 0; c < 3; ++c)
        streamBits[c] = BuildBitStream(scratch, data, dataLength, kClassFirstVersions[c], true);
    // As EncodeMatrix tests capacity: the terminator may be cut short.
    const auto holds = [&](int v, int level) {
        const int bits = streamBits[WidthClass(v)];
        return bits <= BitArrayCapacity && DataCodewords(v, level) * 8 >= bits - 4;
    };
    const auto smallest = [&](int level) {
        for (int v = 1; v <= 40; ++v)
            if (holds(v, level)) return v;
        return 0;
    };

    // 2. The answers; capacity falls from L to H at every version, so the
    // highest level that holds the message tells whether the asked one does.
    fit.smallestVersion = smallest(ecLevel);
    fit.versionAtL = ecLevel == 1 ? fit.smallestVersion : smallest(1);
    for (int level = 4; level >= 1 && fit.highestLevel == 0; --level)
        if (version > 0 ? holds(version, level) : smallest(level) != 0) fit.highestLevel = level;
    fit.fits = fit.highestLevel >= ecLevel;
    return fit;
}
