#include "StreamKernels.h"

#include <gtest/gtest.h>

#include "clsQRCode.h"

#include <random>
#include <string>
#include <vector>

namespace {

using StreamKernels::Kernel;

constexpr Kernel kKernels[] = {Kernel::Plain, Kernel::Ssse3, Kernel::Avx2};
constexpr const char* kKernelNames[] = {"plain", "SSSE3", "AVX2"};

struct KernelGuard {
    ~KernelGuard() { StreamKernels::UseFastestKernel(); }
};

TEST(StreamKernelsTest, TheFastestKernelTheCpuRunsIsChosen)
{
    KernelGuard guard;
    EXPECT_TRUE(StreamKernels::Supported(Kernel::Plain));
    Kernel fastest = Kernel::Plain;
#if defined(__x86_64__)
    // As the Westmere (SSSE3) and qemu64 (neither) runs under qemu-user show.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("ssse3")) fastest = Kernel::Ssse3;
    if (__builtin_cpu_supports("avx2")) fastest = Kernel::Avx2;
#endif
    EXPECT_EQ(StreamKernels::Active(), fastest);
    for (const Kernel k : kKernels) {
        const bool supported = static_cast<int>(k) <= static_cast<int>(fastest);
        EXPECT_EQ(StreamKernels::Supported(k), supported);
        EXPECT_EQ(StreamKernels::ForceKernel(k), supported);
        EXPECT_EQ(StreamKernels::Active(), supported ? k : Kernel::Plain);
        StreamKernels::ForceKernel(Kernel::Plain);
    }
    StreamKernels::UseFastestKernel();
    EXPECT_EQ(StreamKernels::Active(), fastest);
}

TEST(StreamKernelsTest, DigitFieldsAreTheStandardsGroups)
{
    // 7.4.4: 012 345 678 901 as 0000001100 0101011001 1010100110 1110000101.
    const std::string digits = "012345678901----";
    std::uint64_t field = 0;
    for (const Kernel k : kKernels) {
        if (!StreamKernels::Supported(k)) continue;
        StreamKernels::PackDigits(k, reinterpret_cast<const std::uint8_t*>(digits.data()), 1,
                                  &field);
        EXPECT_EQ(field, 12ull << 30 | 345ull << 20 | 678ull << 10 | 901)
            << kKernelNames[static_cast<int>(k)];
    }
}

TEST(StreamKernelsTest, EveryKernelTheCpuRunsAgreesWithThePlainOne)
{
    std::mt19937 random(40);
    for (int trial = 0; trial < 300; ++trial) {
        // Digits: every field count up to 40, extreme digits included; the
        // read-ahead bytes are not digits.
        const int fields = trial % 41;
        std::vector<std::uint8_t> digits(static_cast<std::size_t>(12 * fields + 4), 0xFF);
        for (int i = 0; i < 12 * fields; ++i)
            digits[i] = static_cast<std::uint8_t>(
                '0' + (trial % 3 == 0 ? 9 * static_cast<int>(random() % 2) : random() % 10));
        // Bytes: every offset, lengths around the vector widths and long ones.
        const int count = 1 + (trial < 200 ? trial % 70 : static_cast<int>(random() % 3000));
        const int offset = trial % 8;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());

        std::vector<std::uint64_t> plainFields(static_cast<std::size_t>(fields) + 1);
        std::vector<std::uint8_t> plainOut(static_cast<std::size_t>(count) + 32, 0xA5);
        StreamKernels::PackDigits(Kernel::Plain, digits.data(), fields, plainFields.data());
        StreamKernels::ShiftBytes(Kernel::Plain, bytes.data(), count, offset, plainOut.data());
        for (int k = 0; k + 1 < count; ++k)
            ASSERT_EQ(plainOut[k],
                      static_cast<std::uint8_t>(bytes[k] << (8 - offset) | bytes[k + 1] >> offset))
                << "plain, byte " << k << " of " << count << ", offset " << offset;
        for (int k = 1; k < 3; ++k) {
            if (!StreamKernels::Supported(kKernels[k])) continue;
            std::vector<std::uint64_t> fast(plainFields.size());
            std::vector<std::uint8_t> out(plainOut.size(), 0xA5);
            StreamKernels::PackDigits(kKernels[k], digits.data(), fields, fast.data());
            StreamKernels::ShiftBytes(kKernels[k], bytes.data(), count, offset, out.data());
            EXPECT_EQ(fast, plainFields) << kKernelNames[k] << ", " << fields << " fields";
            EXPECT_EQ(out, plainOut) << kKernelNames[k] << ", " << count << " bytes, offset "
                                     << offset << " (nothing written past count - 1 bytes)";
        }
    }
}

TEST(StreamKernelsTest, SymbolsAreTheSameWhicheverKernelWritesTheStream)
{
    // Digit and byte runs of every version's and level's capacity, each
    // message's stream at every bit offset the mixes give.
    KernelGuard guard;
    clsQRCode qr;
    std::mt19937 random(4);
    for (int version = 1; version <= 40; ++version)
        for (int level = 1; level <= 4; ++level) {
            std::vector<std::uint8_t> message;
            const int target = qr.DataCodewords(version, level) * 2 / (1 + (version + level) % 3);
            while (static_cast<int>(message.size()) < target) {
                const bool digits = random() % 2 == 0;
                const int run = 1 + static_cast<int>(random() % 90);
                for (int i = 0; i < run; ++i)
                    message.push_back(
                        static_cast<std::uint8_t>(digits ? '0' + random() % 10 : random()));
            }
            for (int cut = static_cast<int>(message.size()); cut > 0; cut = cut * 3 / 4) {
                ASSERT_TRUE(StreamKernels::ForceKernel(Kernel::Plain));
                const auto plain = qr.EncodeMatrix(message.data(), cut, version, level, 0);
                for (int k = 1; k < 3; ++k) {
                    if (!StreamKernels::ForceKernel(kKernels[k])) continue;
                    const auto fast = qr.EncodeMatrix(message.data(), cut, version, level, 0);
                    ASSERT_EQ(fast.has_value(), plain.has_value());
                    if (plain) {
                        EXPECT_TRUE(*fast == *plain)
                            << kKernelNames[k] << ", version " << version << "-"
                            << "LMQH"[level - 1] << ", " << cut << " bytes";
                    }
                }
            }
        }
}

} // namespace
