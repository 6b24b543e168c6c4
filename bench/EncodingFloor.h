#pragma once

#include <array>
#include <cstdint>

// The least work any encoder of a version 40-L symbol has to do, written
// straightforwardly: the Reed-Solomon parity of its 25 blocks (19 of 118 and 6
// of 119 data codewords, 30 parity codewords each; ISO/IEC 18004 Table 9) by
// log/exp tables, and one pass that writes each of the 177 x 177 = 31,329
// modules. Nothing else: no bit stream, patterns or placement order.
class EncodingFloor {
public:
    static constexpr int DataCodewords = 2956;
    static constexpr int ParityPerBlock = 30;
    static constexpr int Blocks = 25;
    static constexpr int Size = 177;

    EncodingFloor();

    // Fills the parity of every block from data, then writes modules from the
    // codeword bits under mask 0. Returns a checksum of the modules, so that
    // the compiler cannot drop the work.
    std::uint32_t Run();

private:
    void ComputeParity(const std::uint8_t* block, int length, std::uint8_t* parity) const;

    std::array<std::uint8_t, 256> log_{};
    std::array<std::uint8_t, 512> exp_{}; // doubled: exp_[a + b] needs no reduction
    std::array<std::uint8_t, ParityPerBlock>
        generatorLog_{}; // log of g(x) below x^30, highest first
    // Data codewords block after block, then each block's parity.
    std::array<std::uint8_t, DataCodewords + Blocks * ParityPerBlock> codewords_{};
    std::array<std::uint8_t, Size * Size> modules_{};
};
