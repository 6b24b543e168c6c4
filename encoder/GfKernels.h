#pragma once

#include <cstdint>
#include <vector>

// Reed-Solomon division over GF(256) for many blocks of one code at once, one
// block per byte lane: the kernels of clsReedSolomon::EncodeBlocks.
//
// Every step of the division multiplies a vector of byte lanes (one feedback
// symbol per block) by one generator coefficient and accumulates the product
// into the remainder. A constant c is held as its products with the sixteen
// low and the sixteen high nibbles; since multiplication distributes over
// addition (XOR) in GF(2^8), c * x = low[x & 15] XOR high[x >> 4]. Sixteen
// entries fit one SIMD register, so PSHUFB looks up 16 (SSSE3) or 32 (AVX2)
// lanes per instruction. The plain kernel does the same lookups one lane at a
// time, a whole remainder per step, and runs on any x86-64 (or other) CPU.
// Multiplication by c is also a linear map over GF(2): with GFNI, one
// GF2P8AFFINEQB applies c's 8x8 bit matrix to 32 lanes at once.
namespace GfKernels {

// The products of one field element c with every nibble value n:
// low[n] = c * n and high[n] = c * (16 * n).
struct NibbleProducts {
    alignas(16) std::uint8_t low[16];
    alignas(16) std::uint8_t high[16];
};

// Multiplication by one field element c as the 8x8 bit matrix of
// GF2P8AFFINEQB: byte 7 - i of the word holds, in bit b, bit i of c * 2^b.
// The word is repeated four times, a whole 256-bit operand.
struct AffineMatrix {
    alignas(32) std::uint64_t words[4];
};

// In the order of preference; each needs the instruction sets of those before.
// Gfni: GFNI in its VEX form, so AVX2 with the operating system saving AVX state.
enum class Kernel { Plain, Ssse3, Avx2, Gfni };

// Strides of the row buffers are multiples of this, so that every kernel
// reads and writes whole vectors.
constexpr int LaneAlignment = 32;

// The longest code the kernels take: k + e <= MaxCodeLength.
constexpr int MaxCodeLength = 1024;

// The tables of one generator, built once per code by MakeGeneratorTables.
struct GeneratorTables {
    // The vector kernels': the products of every generator coefficient but
    // the leading 1, highest power first.
    std::vector<NibbleProducts> feedback;
    // The GFNI kernel's: the bit matrices of the same coefficients.
    std::vector<AffineMatrix> affine;
    // The plain kernel's: the same products by nibble value rather than by
    // coefficient. Row n (0..15) holds n times every coefficient, row 16 + n
    // holds 16n times every coefficient, in feedback order, zero-padded to
    // rowBytes, e rounded up to a multiple of 8.
    std::vector<std::uint8_t> plainRows;
    int rowBytes = 0;

    int CheckLength() const { return static_cast<int>(feedback.size()); }
};

// The tables for a generator whose coefficient products are feedback.
GeneratorTables MakeGeneratorTables(std::vector<NibbleProducts> feedback);

// Whether this CPU (and its operating system) can run kernel.
bool Supported(Kernel kernel);

// The kernel for a division of lanes blocks: the one a test forced, else
// the fastest this CPU supports (GFNI, AVX2, SSSE3, plain), except that
// a few blocks go to the plain kernel, which then does less work than a
// vector kernel filling whole vectors: up to two blocks with GFNI, three
// with AVX2, four with SSSE3.
Kernel Active(int lanes = LaneAlignment);

// Makes Active() answer kernel until UseFastestKernel(); false, changing
// nothing, when this CPU cannot run it. For tests of the paths other CPUs take.
bool ForceKernel(Kernel kernel);
void UseFastestKernel();

// Systematic division of lanes blocks of a code with e = CheckLength()
// parity symbols, by the generator of tables.
// rows: k rows of stride bytes; row r holds data symbol r of every block,
// the highest power first (a shorter block starts with zero rows).
// parity: e rows of stride bytes; row j receives parity symbol j, the
// coefficient of x^(e-1-j) of the remainder, of every block.
// stride: a multiple of LaneAlignment, at least lanes; bytes of the lanes
// from lanes up to the next multiple of 32 are read and written as scratch.
// The plain kernel reads and writes the lanes only, so it takes any stride
// >= lanes: one block can be divided in place (stride 1).
// e >= 1, k >= 0, k + e <= MaxCodeLength.
void Divide(Kernel kernel, const GeneratorTables& tables, const std::uint8_t* rows, int k,
            int stride, int lanes, std::uint8_t* parity);

// Blocks of one code in the interleaved order of a QR Code symbol (ISO/IEC
// 18004, 7.6): codeword i of every block for i = 0 .. n-2, then the last
// codeword of the long blocks. The short blocks come first and carry one
// data codeword fewer; they are divided as if led by a zero coefficient.
struct InterleavedBlocks {
    int blocks;      // B >= 1
    int shortBlocks; // S, 0 <= S < B
    int longData;    // n >= 1 (n >= 2 when S > 0), a long block's data codewords
    int DataCodewords() const { return blocks * longData - shortBlocks; }
};

// The largest parity length the vector kernels take in interleaved order
// (their remainder lives in a work area on the stack); longer codes go to
// the plain kernel.
constexpr int MaxVectorCheckLength = 64;

// Writes data, the blocks of layout one after another (S blocks of n-1
// codewords, then B-S of n), in interleaved order into out[0 .. K-1].
// Every kernel but the plain one moves tiles of 16 blocks by 8 codewords
// with SSE2 unpacks (part of x86-64); the plain one moves bytes.
void InterleaveData(Kernel kernel, const std::uint8_t* data, const InterleavedBlocks& layout,
                    std::uint8_t* out);

// The division of Divide for the blocks of layout (k = n), their data read
// in interleaved order from codewords; codewords must be readable for
// LaneAlignment bytes past the K data codewords (the vector kernels read
// whole vectors). parity: e rows of B bytes; row j receives parity symbol j
// of every block, as 7.6 interleaves them. It may follow the data codewords
// in the same buffer: of what lies past them the kernels read only lanes
// beyond the blocks, whose results they drop.
void DivideInterleaved(Kernel kernel, const GeneratorTables& tables, const std::uint8_t* codewords,
                       const InterleavedBlocks& layout, std::uint8_t* parity);

} // namespace GfKernels
