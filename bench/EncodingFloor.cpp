#include "EncodingFloor.h"

EncodingFloor::EncodingFloor()
{
    // GF(256) by x^8 + x^4 + x^3 + x^2 + 1, alpha = 2 (ISO/IEC 18004, 7.5.2).
    int x = 1;
    for (int i = 0; i < 255; ++i) {
        exp_[i] = exp_[i + 255] = static_cast<std::uint8_t>(x);
        log_[x] = static_cast<std::uint8_t>(i);
        x <<= 1;
        if (x & 0x100) x ^= 0x11D;
    }
    // g(x) = (x - 1)(x - 2) ... (x - 2^29), coefficients highest power first.
    std::array<std::uint8_t, ParityPerBlock + 1> g{};
    g[0] = 1;
    for (int root = 0; root < ParityPerBlock; ++root) {
        for (int j = root + 1; j > 0; --j) {
            const int product = g[j] == 0 ? 0 : exp_[log_[g[j]] + root];
            g[j] = static_cast<std::uint8_t>(g[j - 1] ^ product);
        }
        g[0] = g[0] == 0 ? 0 : exp_[log_[g[0]] + root];
        // g is kept lowest power at index 0 during the build.
    }
    for (int j = 0; j < ParityPerBlock; ++j) generatorLog_[j] = log_[g[ParityPerBlock - 1 - j]];
    for (int i = 0; i < DataCodewords; ++i) codewords_[i] = static_cast<std::uint8_t>(i * 37 + 11);
}

void EncodingFloor::ComputeParity(const std::uint8_t* block, int length, std::uint8_t* parity) const
{
    // Division of block(x) * x^30 by g(x), one shift register step per data codeword.
    std::array<std::uint8_t, ParityPerBlock> r{};
    for (int i = 0; i < length; ++i) {
        const int factor = block[i] ^ r[0];
        for (int j = 0; j + 1 < ParityPerBlock; ++j) r[j] = r[j + 1];
        r[ParityPerBlock - 1] = 0;
        if (factor == 0) continue;
        const int logFactor = log_[factor];
        for (int j = 0; j < ParityPerBlock; ++j) r[j] ^= exp_[logFactor + generatorLog_[j]];
    }
    for (int j = 0; j < ParityPerBlock; ++j) parity[j] = r[j];
}

std::uint32_t EncodingFloor::Run()
{
    const std::uint8_t* block = codewords_.data();
    std::uint8_t* parity = codewords_.data() + DataCodewords;
    for (int b = 0; b < Blocks; ++b) {
        const int length = b < 19 ? 118 : 119;
        ComputeParity(block, length, parity);
        block += length;
        parity += ParityPerBlock;
    }
    // One pass over the modules: each takes the next codeword bit under mask 0;
    // the 31,329 - 29,648 modules past the codewords stand for function patterns.
    constexpr int codewordBits = static_cast<int>(sizeof(codewords_)) * 8;
    int bit = 0;
    std::uint32_t checksum = 0;
    for (int row = 0; row < Size; ++row) {
        for (int column = 0; column < Size; ++column, ++bit) {
            const int value = bit < codewordBits ? codewords_[bit >> 3] >> (7 - (bit & 7)) : 0;
            modules_[row * Size + column] =
                static_cast<std::uint8_t>((value ^ row ^ column ^ 1) & 1);
            checksum += modules_[row * Size + column];
        }
    }
    return checksum + codewords_[DataCodewords] + codewords_.back();
}
