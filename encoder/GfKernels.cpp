#include "GfKernels.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VEMORA_GF_X86 1
#endif

#include "KernelChoice.h"

namespace GfKernels {
namespace {

// The two ways the kernels find data symbol r of lane b.
// Rows of a buffer: row r at base + r * stride.
struct StridedRows {
    const std::uint8_t* base;
    std::ptrdiff_t stride;
};
// The interleaved data codewords of InterleavedBlocks: a short lane's row r
// is codeword r-1 of its block (row 0 its zero lead), a long lane's row r
// codeword r; codeword i of block b lies at i * B + b, except that the long
// blocks' last ones are packed together after the others.
struct InterleavedRows {
    const std::uint8_t* base;
    int blocks, shortBlocks, k;
};

// How many of the lanes from group on are short, in [0, 32]: a signed byte
// for the vector kernels' lane mask.
char ShortLanesFrom(const InterleavedRows& rows, int group)
{
    return static_cast<char>(std::clamp(rows.shortBlocks - group, 0, 32));
}

std::uint8_t RowByte(const StridedRows& rows, int r, int lane)
{
    return rows.base[r * rows.stride + lane];
}

std::uint8_t RowByte(const InterleavedRows& rows, int r, int lane)
{
    const std::ptrdiff_t b = rows.blocks;
    if (lane < rows.shortBlocks) return r == 0 ? 0 : rows.base[(r - 1) * b + lane];
    if (r + 1 < rows.k) return rows.base[r * b + lane];
    return rows.base[(rows.k - 1) * b + lane - rows.shortBlocks];
}

// One lane with e <= 8 * Words: the remainder in Words 64-bit registers,
// little-endian, feedback first, so that a step is a one-byte shift along
// the registers and the XOR of two rows of nibble products (zero past e,
// which keeps the bytes past e zero). The next feedback is then ready one
// load after the lead, with no store and reload of the remainder between.
template <int Words, class Rows>
void DivideLaneInRegisters(const GeneratorTables& tables, const Rows& rows, int k, int lane,
                           std::uint8_t* parity, std::ptrdiff_t parityStride)
{
    static_assert(std::endian::native == std::endian::little);
    const std::uint8_t* products = tables.plainRows.data();
    std::uint64_t remainder[Words] = {};
    for (int r = 0; r < k; ++r) {
        const unsigned lead = RowByte(rows, r, lane) ^ static_cast<unsigned>(remainder[0] & 0xFF);
        const std::uint8_t* low = products + (lead & 15) * (8 * Words);
        const std::uint8_t* high = products + (16 + (lead >> 4)) * (8 * Words);
        for (int i = 0; i < Words; ++i) {
            std::uint64_t a, b;
            std::memcpy(&a, low + 8 * i, 8);
            std::memcpy(&b, high + 8 * i, 8);
            const std::uint64_t next = i + 1 < Words ? remainder[i + 1] << 56 : 0;
            remainder[i] = (remainder[i] >> 8 | next) ^ a ^ b;
        }
    }
    for (int j = 0; j < tables.CheckLength(); ++j)
        parity[j * parityStride + lane] =
            static_cast<std::uint8_t>(remainder[j / 8] >> (8 * (j % 8)));
}

// One lane at a time, the remainder in a window that slides along a buffer:
// before data symbol r it is window[r .. r+e-1], the feedback window[r], and
// the step adds the product of the feedback with every coefficient to
// window[r+1 .. r+e], eight bytes at a time. The products come from the rows
// of nibble products, so a step is two row lookups whatever e is. Writes
// parity symbol j of lane b to parity[j * parityStride + b], the lanes only.
// Codes of up to 32 parity symbols keep the window in registers instead.
template <class Rows>
void DividePlain(const GeneratorTables& tables, const Rows& rows, int k, int lanes,
                 std::uint8_t* parity, std::ptrdiff_t parityStride)
{
    const int e = tables.CheckLength();
    const int rowBytes = tables.rowBytes;
    if constexpr (std::endian::native == std::endian::little) {
        using LaneKernel =
            void (*)(const GeneratorTables&, const Rows&, int, int, std::uint8_t*, std::ptrdiff_t);
        constexpr LaneKernel kByWords[] = {
            DivideLaneInRegisters<1, Rows>, DivideLaneInRegisters<2, Rows>,
            DivideLaneInRegisters<3, Rows>, DivideLaneInRegisters<4, Rows>};
        if (rowBytes <= 32) {
            for (int lane = 0; lane < lanes; ++lane)
                kByWords[rowBytes / 8 - 1](tables, rows, k, lane, parity, parityStride);
            return;
        }
    }
    const std::uint8_t* products = tables.plainRows.data();
    std::uint8_t window[MaxCodeLength + 8];
    for (int lane = 0; lane < lanes; ++lane) {
        std::memset(window, 0, static_cast<std::size_t>(k + rowBytes + 1));
        for (int r = 0; r < k; ++r) {
            const int lead = RowByte(rows, r, lane) ^ window[r];
            const std::uint8_t* low = products + static_cast<std::ptrdiff_t>(lead & 15) * rowBytes;
            const std::uint8_t* high =
                products + static_cast<std::ptrdiff_t>(16 + (lead >> 4)) * rowBytes;
            std::uint8_t* out = window + r + 1;
            for (int j = 0; j < rowBytes; j += 8) {
                std::uint64_t a, b, c;
                std::memcpy(&a, out + j, 8);
                std::memcpy(&b, low + j, 8);
                std::memcpy(&c, high + j, 8);
                a ^= b ^ c;
                std::memcpy(out + j, &a, 8);
            }
        }
        for (int j = 0; j < e; ++j) parity[j * parityStride + lane] = window[k + j];
    }
}

#ifdef VEMORA_GF_X86

// Row r of the lanes group .. group+15 (or +31). An interleaved row joins
// the short lanes' codewords, one row further up, to the long lanes' under
// the mask of the short lanes; the whole vector is read, lanes past the
// blocks included.
__attribute__((target("ssse3"))) __m128i ShortLanes128(const StridedRows&, int)
{
    return _mm_setzero_si128();
}
__attribute__((target("ssse3"))) __m128i ShortLanes128(const InterleavedRows& rows, int group)
{
    const __m128i lane = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    return _mm_cmpgt_epi8(_mm_set1_epi8(ShortLanesFrom(rows, group)), lane);
}
__attribute__((target("ssse3"))) __m128i LoadRow128(const StridedRows& rows, int r, int group,
                                                    __m128i)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows.base + r * rows.stride + group));
}
__attribute__((target("ssse3"))) __m128i LoadRow128(const InterleavedRows& rows, int r, int group,
                                                    __m128i shortLanes)
{
    const std::ptrdiff_t b = rows.blocks;
    const std::uint8_t* at = rows.base + group;
    const __m128i longRow = _mm_loadu_si128(reinterpret_cast<const __m128i*>(
        r + 1 < rows.k ? at + r * b : at + (rows.k - 1) * b - rows.shortBlocks));
    if (r == 0) return _mm_andnot_si128(shortLanes, longRow);
    const __m128i shortRow = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + (r - 1) * b));
    return _mm_or_si128(_mm_and_si128(shortLanes, shortRow), _mm_andnot_si128(shortLanes, longRow));
}

__attribute__((target("avx2"))) __m256i ShortLanes256(const StridedRows&, int)
{
    return _mm256_setzero_si256();
}
__attribute__((target("avx2"))) __m256i ShortLanes256(const InterleavedRows& rows, int group)
{
    const __m256i lane =
        _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                         21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
    return _mm256_cmpgt_epi8(_mm256_set1_epi8(ShortLanesFrom(rows, group)), lane);
}
__attribute__((target("avx2"))) __m256i LoadRow256(const StridedRows& rows, int r, int group,
                                                   __m256i)
{
    return _mm256_loadu_si256(
        reinterpret_cast<const __m256i*>(rows.base + r * rows.stride + group));
}
__attribute__((target("avx2"))) __m256i LoadRow256(const InterleavedRows& rows, int r, int group,
                                                   __m256i shortLanes)
{
    const std::ptrdiff_t b = rows.blocks;
    const std::uint8_t* at = rows.base + group;
    const __m256i longRow = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(
        r + 1 < rows.k ? at + r * b : at + (rows.k - 1) * b - rows.shortBlocks));
    if (r == 0) return _mm256_andnot_si256(shortLanes, longRow);
    const __m256i shortRow = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + (r - 1) * b));
    return _mm256_blendv_epi8(longRow, shortRow, shortLanes);
}

// The SSSE3 forms of NibbleLead, SplitNibbles, Times and Avx2Steps below:
// 16 lanes, the tables as they are stored.
struct NibbleLead128 {
    __m128i low, high;
};

__attribute__((target("ssse3"))) inline NibbleLead128 SplitNibbles128(__m128i lead)
{
    const __m128i nibble = _mm_set1_epi8(0x0F);
    return {_mm_and_si128(lead, nibble), _mm_and_si128(_mm_srli_epi16(lead, 4), nibble)};
}

__attribute__((target("ssse3"))) inline __m128i Times128(const NibbleProducts& c,
                                                         NibbleLead128 lead)
{
    return _mm_xor_si128(
        _mm_shuffle_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(c.low)), lead.low),
        _mm_shuffle_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(c.high)), lead.high));
}

template <int Steps, class Rows>
__attribute__((target("ssse3"))) inline void
Ssse3Steps(const NibbleProducts* f, int e, const Rows& rows, int r, int group, __m128i shortLanes,
           std::uint8_t* remainder, std::ptrdiff_t pitch)
{
    const auto row = [&](int j) { return reinterpret_cast<__m128i*>(remainder + j * pitch); };
    NibbleLead128 lead[Steps];
#pragma GCC unroll 8
    for (int i = 0; i < Steps; ++i) {
        __m128i acc =
            _mm_xor_si128(LoadRow128(rows, r + i, group, shortLanes), _mm_loadu_si128(row(i)));
#pragma GCC unroll 8
        for (int m = 0; m < i; ++m) acc = _mm_xor_si128(acc, Times128(f[i - 1 - m], lead[m]));
        lead[i] = SplitNibbles128(acc);
    }
    int j = 0;
    for (; j + Steps < e; ++j) {
        __m128i acc = _mm_loadu_si128(row(j + Steps));
#pragma GCC unroll 8
        for (int m = 0; m < Steps; ++m)
            acc = _mm_xor_si128(acc, Times128(f[j + Steps - 1 - m], lead[m]));
        _mm_storeu_si128(row(j), acc);
    }
    for (; j < e; ++j) {
        __m128i acc = _mm_setzero_si128();
#pragma GCC unroll 8
        for (int m = 0; m < Steps; ++m)
            if (j + Steps - 1 - m < e)
                acc = _mm_xor_si128(acc, Times128(f[j + Steps - 1 - m], lead[m]));
        _mm_storeu_si128(row(j), acc);
    }
}

// 16 lanes from group on, the remainder in e rows of pitch bytes.
template <class Rows>
__attribute__((target("ssse3"))) void
DivideGroupSsse3(const GeneratorTables& tables, const Rows& rows, int k, int group,
                 std::uint8_t* remainder, std::ptrdiff_t pitch)
{
    constexpr int Steps = 2;
    const NibbleProducts* f = tables.feedback.data();
    const int e = tables.CheckLength();
    const __m128i shortLanes = ShortLanes128(rows, group);
    for (int j = 0; j < e; ++j)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(remainder + j * pitch), _mm_setzero_si128());
    int r = 0;
    if (e >= Steps)
        for (; r + Steps <= k; r += Steps)
            Ssse3Steps<Steps>(f, e, rows, r, group, shortLanes, remainder, pitch);
    for (; r < k; ++r) Ssse3Steps<1>(f, e, rows, r, group, shortLanes, remainder, pitch);
}

// One lead split into its nibbles, and its product with feedback
// coefficient c: two 16-entry lookups, each table broadcast to both 128-bit
// halves, since VPSHUFB looks up within each half.
struct NibbleLead {
    __m256i low, high;
};

__attribute__((target("avx2"))) inline NibbleLead SplitNibbles(__m256i lead)
{
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    return {_mm256_and_si256(lead, nibble), _mm256_and_si256(_mm256_srli_epi16(lead, 4), nibble)};
}

__attribute__((target("avx2"))) inline __m256i Times(const NibbleProducts& c, NibbleLead lead)
{
    const __m256i lowTable =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(c.low)));
    const __m256i highTable =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(c.high)));
    return _mm256_xor_si256(_mm256_shuffle_epi8(lowTable, lead.low),
                            _mm256_shuffle_epi8(highTable, lead.high));
}

// Steps data rows per pass over the remainder, as GfniSteps below, the
// products by nibble lookups.
template <int Steps, class Rows>
__attribute__((target("avx2"))) inline void
Avx2Steps(const NibbleProducts* f, int e, const Rows& rows, int r, int group, __m256i shortLanes,
          std::uint8_t* remainder, std::ptrdiff_t pitch)
{
    const auto row = [&](int j) { return reinterpret_cast<__m256i*>(remainder + j * pitch); };
    NibbleLead lead[Steps];
#pragma GCC unroll 8
    for (int i = 0; i < Steps; ++i) {
        __m256i acc = _mm256_xor_si256(LoadRow256(rows, r + i, group, shortLanes),
                                       _mm256_loadu_si256(row(i)));
#pragma GCC unroll 8
        for (int m = 0; m < i; ++m) acc = _mm256_xor_si256(acc, Times(f[i - 1 - m], lead[m]));
        lead[i] = SplitNibbles(acc);
    }
    int j = 0;
    for (; j + Steps < e; ++j) {
        __m256i acc = _mm256_loadu_si256(row(j + Steps));
#pragma GCC unroll 8
        for (int m = 0; m < Steps; ++m)
            acc = _mm256_xor_si256(acc, Times(f[j + Steps - 1 - m], lead[m]));
        _mm256_storeu_si256(row(j), acc);
    }
    for (; j < e; ++j) {
        __m256i acc = _mm256_setzero_si256();
#pragma GCC unroll 8
        for (int m = 0; m < Steps; ++m)
            if (j + Steps - 1 - m < e)
                acc = _mm256_xor_si256(acc, Times(f[j + Steps - 1 - m], lead[m]));
        _mm256_storeu_si256(row(j), acc);
    }
}

// 32 lanes from group on, the remainder in e rows of pitch bytes.
template <class Rows>
__attribute__((target("avx2"))) void DivideGroupAvx2(const GeneratorTables& tables,
                                                     const Rows& rows, int k, int group,
                                                     std::uint8_t* remainder, std::ptrdiff_t pitch)
{
    constexpr int Steps = 2;
    const NibbleProducts* f = tables.feedback.data();
    const int e = tables.CheckLength();
    const __m256i shortLanes = ShortLanes256(rows, group);
    for (int j = 0; j < e; ++j)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(remainder + j * pitch),
                            _mm256_setzero_si256());
    int r = 0;
    if (e >= Steps)
        for (; r + Steps <= k; r += Steps)
            Avx2Steps<Steps>(f, e, rows, r, group, shortLanes, remainder, pitch);
    for (; r < k; ++r) Avx2Steps<1>(f, e, rows, r, group, shortLanes, remainder, pitch);
}

// Data rows taken Steps at a time, so that the remainder is read and
// written once per Steps rows instead of once per row. With f the feedback
// coefficients, remainder rem and leads l[0 .. Steps-1]:
//   l[i]      = d[i] + rem[i] + sum over m < i of f[i-1-m] * l[m]
//   rem'[j]   = rem[j+Steps] + sum over m of f[j+Steps-1-m] * l[m]
// (terms past e are zero), which is Steps single steps written out.
// Each product is one GF2P8AFFINEQB. Needs Steps <= e.
__attribute__((target("avx2,gfni"))) inline __m256i Times(const AffineMatrix& c, __m256i x)
{
    return _mm256_gf2p8affine_epi64_epi8(
        x, _mm256_load_si256(reinterpret_cast<const __m256i*>(c.words)), 0);
}

template <int Steps, class Rows>
__attribute__((target("avx2,gfni"))) inline void
GfniSteps(const AffineMatrix* f, int e, const Rows& rows, int r, int group, __m256i shortLanes,
          std::uint8_t* remainder, std::ptrdiff_t pitch)
{
    const auto row = [&](int j) { return reinterpret_cast<__m256i*>(remainder + j * pitch); };
    __m256i lead[Steps];
#pragma GCC unroll 8
    for (int i = 0; i < Steps; ++i) {
        __m256i acc = _mm256_xor_si256(LoadRow256(rows, r + i, group, shortLanes),
                                       _mm256_loadu_si256(row(i)));
#pragma GCC unroll 8
        for (int m = 0; m < i; ++m) acc = _mm256_xor_si256(acc, Times(f[i - 1 - m], lead[m]));
        lead[i] = acc;
    }
    int j = 0;
    for (; j + Steps < e; ++j) {
        __m256i acc = _mm256_loadu_si256(row(j + Steps));
#pragma GCC unroll 8
        for (int m = 0; m < Steps; ++m)
            acc = _mm256_xor_si256(acc, Times(f[j + Steps - 1 - m], lead[m]));
        _mm256_storeu_si256(row(j), acc);
    }
    for (; j < e; ++j) {
        __m256i acc = _mm256_setzero_si256();
#pragma GCC unroll 8
        for (int m = 0; m < Steps; ++m)
            if (j + Steps - 1 - m < e)
                acc = _mm256_xor_si256(acc, Times(f[j + Steps - 1 - m], lead[m]));
        _mm256_storeu_si256(row(j), acc);
    }
}

// 32 lanes from group on, the remainder as in DivideGroupAvx2.
template <class Rows>
__attribute__((target("avx2,gfni"))) void
DivideGroupGfni(const GeneratorTables& tables, const Rows& rows, int k, int group,
                std::uint8_t* remainder, std::ptrdiff_t pitch)
{
    constexpr int Steps = 4;
    const AffineMatrix* f = tables.affine.data();
    const int e = tables.CheckLength();
    const __m256i shortLanes = ShortLanes256(rows, group);
    for (int j = 0; j < e; ++j)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(remainder + j * pitch),
                            _mm256_setzero_si256());
    int r = 0;
    if (e >= Steps)
        for (; r + Steps <= k; r += Steps)
            GfniSteps<Steps>(f, e, rows, r, group, shortLanes, remainder, pitch);
    for (; r < k; ++r) GfniSteps<1>(f, e, rows, r, group, shortLanes, remainder, pitch);
}

#endif

// Every vector kernel on its groups of lanes: Width lanes a group, the
// remainder either in the caller's rows of stride bytes (Divide) or in a work
// area copied out to rows of B bytes (DivideInterleaved).
using GroupKernel = void (*)(const GeneratorTables&, const StridedRows&, int, int, std::uint8_t*,
                             std::ptrdiff_t);
using InterleavedGroupKernel = void (*)(const GeneratorTables&, const InterleavedRows&, int, int,
                                        std::uint8_t*, std::ptrdiff_t);

struct VectorKernel {
    int width;
    GroupKernel strided;
    InterleavedGroupKernel interleaved;
};

bool FindVectorKernel(Kernel kernel, VectorKernel* found)
{
    switch (kernel) {
#ifdef VEMORA_GF_X86
    case Kernel::Gfni:
        *found = {32, DivideGroupGfni<StridedRows>, DivideGroupGfni<InterleavedRows>};
        return true;
    case Kernel::Avx2:
        *found = {32, DivideGroupAvx2<StridedRows>, DivideGroupAvx2<InterleavedRows>};
        return true;
    case Kernel::Ssse3:
        *found = {16, DivideGroupSsse3<StridedRows>, DivideGroupSsse3<InterleavedRows>};
        return true;
#endif
    default:
        return false;
    }
}

// Codeword i of every block for i in [first, first + 8), blocks [b0, b0+16),
// to out rows i of B bytes: a 16 x 8 byte transpose. Each round of unpacks
// pairs neighbouring registers and doubles the unit it interleaves (bytes,
// words, double words, quad words); after the four, row c of the tile sits in
// the register whose index is c with its three bits reversed.
#if defined(__SSE2__)
void InterleaveTile(const std::uint8_t* const* blockStart, int first, std::uint8_t* out,
                    std::ptrdiff_t blocks)
{
    __m128i a[8], b[8];
    for (int u = 0; u < 8; ++u)
        a[u] = _mm_unpacklo_epi8(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(blockStart[2 * u] + first)),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(blockStart[2 * u + 1] + first)));
    for (int u = 0; u < 4; ++u) {
        b[u] = _mm_unpacklo_epi16(a[2 * u], a[2 * u + 1]);
        b[u + 4] = _mm_unpackhi_epi16(a[2 * u], a[2 * u + 1]);
    }
    for (int u = 0; u < 4; ++u) {
        a[u] = _mm_unpacklo_epi32(b[2 * u], b[2 * u + 1]);
        a[u + 4] = _mm_unpackhi_epi32(b[2 * u], b[2 * u + 1]);
    }
    for (int u = 0; u < 4; ++u) {
        b[u] = _mm_unpacklo_epi64(a[2 * u], a[2 * u + 1]);
        b[u + 4] = _mm_unpackhi_epi64(a[2 * u], a[2 * u + 1]);
    }
    constexpr int kRowRegister[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    for (int c = 0; c < 8; ++c)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (first + c) * blocks),
                         b[kRowRegister[c]]);
}
#endif

// The tiles of InterleaveData: the first n-1 codewords of every block, in
// tiles that overlap at the right and bottom edges rather than leave a
// ragged rest (an overlapped byte is written twice with the same value).
// False, writing nothing, when the blocks are too few or too short for one
// tile, or the CPU has no SSE2.
bool InterleaveTiles(const std::uint8_t* data, const InterleavedBlocks& layout, std::uint8_t* out)
{
#if defined(__SSE2__)
    const int blocks = layout.blocks;
    const int common = layout.longData - 1;
    if (blocks < 16 || common < 8) return false;
    const std::uint8_t* blockStart[16];
    for (int b0 = 0;; b0 = std::min(b0 + 16, blocks - 16)) {
        for (int t = 0; t < 16; ++t) {
            const int b = b0 + t;
            blockStart[t] = data + b * common + std::max(0, b - layout.shortBlocks);
        }
        for (int first = 0;; first = std::min(first + 8, common - 8)) {
            InterleaveTile(blockStart, first, out + b0, blocks);
            if (first == common - 8) break;
        }
        if (b0 == blocks - 16) break;
    }
    return true;
#else
    (void)data, (void)layout, (void)out;
    return false;
#endif
}

// width (16 or 32) bytes from from to to, read whole before they are
// written, so the two may overlap.
void MoveLanes(std::uint8_t* to, const std::uint8_t* from, int width)
{
    std::uint8_t lanes[32];
    if (width == 32) {
        std::memcpy(lanes, from, 32);
        std::memcpy(to, lanes, 32);
    } else {
        std::memcpy(lanes, from, 16);
        std::memcpy(to, lanes, 16);
    }
}

Kernel Fastest()
{
#ifdef VEMORA_GF_X86
    // The AVX2 feature is reported only where the operating system saves the
    // AVX registers, which the VEX-coded GFNI instructions need as well.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("gfni")) return Kernel::Gfni;
    if (__builtin_cpu_supports("avx2")) return Kernel::Avx2;
    if (__builtin_cpu_supports("ssse3")) return Kernel::Ssse3;
#endif
    return Kernel::Plain;
}

KernelChoice<Kernel>& Choice()
{
    static KernelChoice<Kernel> choice(Fastest());
    return choice;
}

} // namespace

bool Supported(Kernel kernel) { return Choice().Supported(kernel); }

Kernel Active(int lanes)
{
    // The fewest blocks for which each kernel, by Kernel, beats the plain
    // one (measured on 2, 4 and 5 blocks): a vector kernel divides a whole
    // vector of lanes however few are blocks, and the more data rows it takes
    // per pass the sooner that pays.
    constexpr int kFewestBlocks[] = {1, 5, 4, 3};
    const KernelChoice<Kernel>& choice = Choice();
    if (choice.Forced()) return choice.Active();
    const Kernel fastest = choice.Preferred();
    return lanes >= kFewestBlocks[static_cast<int>(fastest)] ? fastest : Kernel::Plain;
}

bool ForceKernel(Kernel kernel) { return Choice().Force(kernel); }
void UseFastestKernel() { Choice().UseFastest(); }

GeneratorTables MakeGeneratorTables(std::vector<NibbleProducts> feedback)
{
    GeneratorTables tables;
    tables.feedback = std::move(feedback);
    const int e = tables.CheckLength();
    tables.rowBytes = (e + 7) / 8 * 8;
    tables.plainRows.assign(static_cast<std::size_t>(32) * tables.rowBytes, 0);
    tables.affine.resize(static_cast<std::size_t>(e));
    for (int j = 0; j < e; ++j) {
        const NibbleProducts& p = tables.feedback[static_cast<std::size_t>(j)];
        for (int n = 0; n < 16; ++n) {
            tables.plainRows[static_cast<std::size_t>(n) * tables.rowBytes + j] = p.low[n];
            tables.plainRows[static_cast<std::size_t>(16 + n) * tables.rowBytes + j] = p.high[n];
        }
        // c * 2^b for the eight bits b, then matrix row i from bit i of each.
        std::uint8_t bitProducts[8];
        for (int b = 0; b < 4; ++b) {
            bitProducts[b] = p.low[1 << b];
            bitProducts[b + 4] = p.high[1 << b];
        }
        std::uint64_t matrix = 0;
        for (int i = 0; i < 8; ++i) {
            std::uint64_t rowBits = 0;
            for (int b = 0; b < 8; ++b)
                rowBits |= static_cast<std::uint64_t>((bitProducts[b] >> i) & 1) << b;
            matrix |= rowBits << (8 * (7 - i));
        }
        for (std::uint64_t& word : tables.affine[static_cast<std::size_t>(j)].words) word = matrix;
    }
    return tables;
}

void Divide(Kernel kernel, const GeneratorTables& tables, const std::uint8_t* rows, int k,
            int stride, int lanes, std::uint8_t* parity)
{
    const StridedRows source{rows, stride};
    VectorKernel vector;
    if (!FindVectorKernel(kernel, &vector)) {
        DividePlain(tables, source, k, lanes, parity, stride);
        return;
    }
    for (int group = 0; group < lanes; group += vector.width)
        vector.strided(tables, source, k, group, parity + group, stride);
}

void InterleaveData(Kernel kernel, const std::uint8_t* data, const InterleavedBlocks& layout,
                    std::uint8_t* out)
{
    const int blocks = layout.blocks;
    const int n = layout.longData;
    const int s = layout.shortBlocks;
    if (kernel == Kernel::Plain || !InterleaveTiles(data, layout, out)) {
        for (int b = 0; b < blocks; ++b) {
            const std::uint8_t* block = data + b * (n - 1) + std::max(0, b - s);
            for (int i = 0; i + 1 < n; ++i) out[i * blocks + b] = block[i];
        }
    }
    // The long blocks' last codewords, packed after the others.
    for (int b = s; b < blocks; ++b) out[(n - 1) * blocks + b - s] = data[b * n - s + n - 1];
}

void DivideInterleaved(Kernel kernel, const GeneratorTables& tables, const std::uint8_t* codewords,
                       const InterleavedBlocks& layout, std::uint8_t* parity)
{
    const int e = tables.CheckLength();
    const int blocks = layout.blocks;
    const InterleavedRows source{codewords, blocks, layout.shortBlocks, layout.longData};
    VectorKernel vector;
    if (e > MaxVectorCheckLength || !FindVectorKernel(kernel, &vector)) {
        DividePlain(tables, source, layout.longData, blocks, parity, blocks);
        return;
    }
    alignas(32) std::uint8_t work[MaxVectorCheckLength * 32];
    if (blocks < vector.width) {
        // One group, narrower than a vector: its rows are closed up in the
        // work area itself, row j moved down to j * B (read whole before it
        // is written, over itself and rows already moved only), then copied
        // out at once.
        vector.interleaved(tables, source, layout.longData, 0, work, vector.width);
        for (int j = 1; j < e; ++j)
            MoveLanes(work + j * blocks, work + j * vector.width, vector.width);
        std::memcpy(parity, work, static_cast<std::size_t>(e * blocks));
        return;
    }
    // The last group first: its whole-vector stores past the last block run
    // into the following parity row, whose lanes of the groups before are
    // written after it; the very last row is cut to length.
    const std::ptrdiff_t end = static_cast<std::ptrdiff_t>(e) * blocks;
    const int last = (blocks - 1) / vector.width * vector.width;
    for (int group = last; group >= 0; group -= vector.width) {
        vector.interleaved(tables, source, layout.longData, group, work, vector.width);
        for (int j = 0; j < e; ++j) {
            const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(j) * blocks + group;
            const std::uint8_t* lanes = work + j * vector.width;
            if (at + vector.width > end)
                std::memcpy(parity + at, lanes, static_cast<std::size_t>(end - at));
            else MoveLanes(parity + at, lanes, vector.width);
        }
    }
}

} // namespace GfKernels
