// libFuzzer target: the data bit stream on its own (ISO/IEC 18004, 7.4).
//
// Input: bit 0 of byte 0 is the kanji switch, bit 1 takes the plain byte
// class kernel instead of the fastest, the rest is the message. For
// each width class (versions 1, 10 and 27) the measuring and the writing call
// must give the same length as the plain rewrite of the cheapest segmentation
// in tests/common, and a stream that fits the bit array is parsed back here, segment by
// segment, to the message bytes and to that segmentation's segments: mode
// indicators, count fields of the class's widths, the data of each mode and
// the terminator.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "ByteClasses.h"
#include "CheapestSegmentation.h"
#include "clsQRCode.h"

namespace {

using namespace cheapest_segmentation;

[[noreturn]] void Fail(const char* what, int version, int length)
{
    std::fprintf(stderr, "bit stream fault: %s (version %d, %d bytes)\n", what, version, length);
    std::abort();
}

void CheckClass(const clsQRCode& coder, clsQRCode::BitArray& bits, const std::uint8_t* data,
                int length, int version, int widthClass)
{
    const int measured = coder.BuildBitStream(bits, data, length, version, true);
    bits.fill(7); // entries the writer leaves alone stay 7, never a bit value
    const int written = coder.BuildBitStream(bits, data, length, version, false);
    if (measured != written) Fail("measured and written lengths differ", version, length);
    for (int i = written; i < clsQRCode::BitArrayCapacity; ++i)
        if (bits[i] != 7) Fail("written past the stream's end", version, length);

    std::vector<Segment> expected;
    if (ReferenceSegmentation(data, length, widthClass, coder.KanjiAllowed(), expected) != measured)
        Fail("length differs from the plain segmentation's", version, length);
    if (written > clsQRCode::BitArrayCapacity) return;

    std::vector<std::uint8_t> out;
    std::vector<Segment> segments;
    if (!ParseStream(bits, written, widthClass, coder.KanjiAllowed(), out, segments))
        Fail("malformed segment or no terminator", version, length);
    if (segments != expected)
        Fail("segments differ from the plain segmentation's", version, length);
    if (out.size() != static_cast<std::size_t>(length) || !std::equal(out.begin(), out.end(), data))
        Fail("stream parses to other bytes", version, length);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    if (size < 1) return 0;
    static const auto coder = std::make_unique<clsQRCode>();
    static auto bits = std::make_unique<clsQRCode::BitArray>();
    coder->SetKanjiAllowed((input[0] & 1) != 0);
    if ((input[0] & 2) != 0) ByteClasses::ForceKernel(ByteClasses::Kernel::Plain);
    else ByteClasses::UseFastestKernel();
    const int length = static_cast<int>(size - 1);
    const std::uint8_t* data = length > 0 ? input + 1 : nullptr;
    constexpr int kClassVersions[3] = {1, 10, 27};
    for (int c = 0; c < 3; ++c) CheckClass(*coder, *bits, data, length, kClassVersions[c], c);
    return 0;
}
