#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "ModuleMatrix.h"
#include "clsFiniteField.h"
#include "clsReedSolomon.h"

#ifdef _WIN32
struct IPictureDisp;
template <typename Interface>
class ScopedComPtr; // ScopedWin.h, where the renderer defines Encode
#endif

// Turns message bytes into a QR Code symbol (ISO/IEC 18004, versions 1 to 40,
// error-correction levels 1 = L, 2 = M, 3 = Q, 4 = H, mask patterns 0 to 7).
//
// The geometry functions also answer for the Micro QR versions -1 .. -4
// (M1 .. M4); no symbol is built for them. Nothing here shows a message or
// throws: out-of-range options are replaced (level -> M, mask -> 0, version 0 or
// above 40 -> automatic) and data that do not fit give no symbol.
class clsQRCode {
public:
    // One stream bit per entry, most significant bit of every field first.
    static constexpr int BitArrayCapacity = 32768;
    using BitArray = std::array<std::uint8_t, BitArrayCapacity>;

    clsQRCode();
    clsQRCode(const clsQRCode&) = delete;
    clsQRCode& operator=(const clsQRCode&) = delete;
    ~clsQRCode();

    // --- Geometry (ISO/IEC 18004, 6.1 and Table 1) -------------------------
    // Modules per side: 4v + 17 for 1..40, 9 - 2v for -4..-1, else 0.
    int SymbolSize(int version) const;
    // Modules for data and error correction, remainder bits included; 0 outside
    // -4..-1 and 1..40.
    int RawDataModules(int version) const;
    int TotalCodewords(int version) const;
    // Alignment centre coordinates per axis (no upper bound check).
    int AlignmentCoordCount(int version) const;
    int AlignmentPatternCount(int version) const;
    // Distance between neighbouring alignment centres, version 1..40.
    int AlignmentSpacing(int version) const;
    // Table 9 entries, version 1..40 and level 1..4 (not checked).
    int BlockCount(int version, int ecLevel) const;
    int EcCodewordsPerBlock(int version, int ecLevel) const;
    // Data codewords K = TotalCodewords - BlockCount * EcCodewordsPerBlock.
    int DataCodewords(int version, int ecLevel) const;
    // The block structure of Table 9 for one version and level.
    struct BlockLayout {
        int dataCodewords; // K, of all blocks together
        int blocks;        // B
        int ecPerBlock;    // E
        int longData;      // N, data codewords of a long block
        int shortBlocks;   // S: blocks 0 .. S-1 carry N - 1 data codewords
    };

    // Remainder of value * x^count divided by generator over GF(2) (the BCH
    // check bits of format and version information, Annex C and D).
    int BchRemainder(int value, int generator, int topBit, int count) const;

    // --- Data analysis and bit stream (7.3, 7.4) ---------------------------
    static int CharClass(std::uint8_t byte);         // 1 digit, 2 other alphanumeric, 0
    static int AlphanumericValue(std::uint8_t byte); // 0..44 (Table 5), 0 outside the set
    static bool IsKanjiPair(int lead, int trail);    // one Shift JIS double-byte character

    // Kanji segments encode a byte pair as a Shift JIS character, and a reader
    // decodes them as Shift JIS. Allow them only when the bytes really are
    // Shift JIS; other encodings whose bytes happen to pass IsKanjiPair would
    // come out of the reader as different text.
    bool KanjiAllowed() const { return kanjiAllowed_; }
    void SetKanjiAllowed(bool allowed) { kanjiAllowed_ = allowed; }

    // Splits data[0 .. length-1] into the cheapest sequence of segments for the
    // width class of version (below 10, 10..26, 27 and up) and returns the
    // stream length in bits, the 4-bit terminator included. A kanji character
    // is a pair passing IsKanjiPair that is also one Shift JIS character when
    // the data are read from their first byte (81-9F and E0-FC open a pair). Writes the stream
    // into bits unless measureOnly; bits beyond the array's end are counted but
    // never written, so a result above BitArrayCapacity means the stream did
    // not fit.
    int BuildBitStream(BitArray& bits, const std::uint8_t* data, int length, int version,
                       bool measureOnly) const;

    // --- Capacity (7.4.10, Table 7) ------------------------------------------
    // The version that holds a message, found as EncodeMatrix finds it (the
    // measured bit stream against the data capacity, terminator allowed to be
    // cut short) but without building a symbol. For version 1..40: that
    // version when the data fit it at ecLevel, else 0. For version 0 or above
    // 40 (automatic): the smallest version 1..40 that holds them, 0 when none
    // does. A level outside 1..4 means M; a negative (Micro QR) version gives
    // 0. The mask never changes what fits. Null data with a positive length
    // fit nothing, as EncodeMatrix builds nothing for them.
    int FittingVersion(const std::uint8_t* data, int dataLength, int version, int ecLevel) const;

    // What holds a message, from one measurement of its stream per width
    // class (Table 3), options taken as FittingVersion takes them. Every
    // field is 0 when nothing holds the message.
    struct Fit {
        int smallestVersion; // the smallest version 1..40 at ecLevel
        int highestLevel;    // the highest level 1..4 at version (automatic: at any version)
        int versionAtL;      // the smallest version at level L: the pair with the most room
        bool fits;           // the message fits version and ecLevel as asked
    };
    Fit MeasureFit(const std::uint8_t* data, int dataLength, int version, int ecLevel) const;

    // --- Symbol construction (7.7 to 7.10) ---------------------------------
    // Writes the function-pattern template of version (1..40) into a zero-filled
    // matrix; any other version leaves it unchanged.
    void BuildFunctionPatterns(ModuleMatrix& matrix, int version) const;
    // XORs mask pattern mask (0..7, anything else means 0) over the size x size
    // grid and returns the mask applied.
    int ApplyMask(std::span<std::uint8_t> grid, int size, int mask) const;

    // The whole encode: the finished matrix (0 light, 1 dark), or
    // nothing when no symbol can be built. data may be null only when
    // dataLength <= 0 (the empty message); null data with a positive length
    // give nothing.
    std::optional<ModuleMatrix> EncodeMatrix(const std::uint8_t* data, int dataLength, int version,
                                             int ecLevel, int mask);

#ifdef _WIN32
    // EncodeMatrix drawn as an OLE picture with one pixel per module and a
    // four-module light margin, or an empty pointer.
    ScopedComPtr<IPictureDisp> Encode(const std::uint8_t* data, int dataLength, int version,
                                      int ecLevel, int mask);
#endif

private:
    // BuildBitStream's result without writing anything.
    int MeasureBitStream(const std::uint8_t* data, int length, int version) const;
    // The stream of BuildBitStream packed eight bits a byte, most significant
    // first, into bytes, the last byte completed with zero bits; bytes past
    // the span's end are counted, never written. Returns the length in bits.
    int BuildPackedStream(std::span<std::uint8_t> bytes, const std::uint8_t* data, int length,
                          int version) const;

    // Parts of EncodeMatrix (7.4 to 7.6). ChooseVersion: the smallest version
    // whose data capacity at ecLevel holds the message, or 0; for a version,
    // its stream as BuildPackedStream writes it is left in codewords and its
    // length in bits in *streamBits.
    int ChooseVersion(const std::uint8_t* data, int length, int ecLevel,
                      std::span<std::uint8_t> codewords, int* streamBits) const;
    // The capacity test and padding after a stream of streamBits bits in
    // codewords, which holds at least DataCodewords + 1 bytes: the data
    // codewords of version and level, or false when the message does not fit.
    bool PadDataCodewords(int streamBits, int version, int ecLevel,
                          std::span<std::uint8_t> codewords) const;
    BlockLayout SplitBlocks(int version, int ecLevel) const;
    // The K data codewords (block after block) with every block's error
    // correction, in the interleaved order of 7.6, into codewords (K + B * E).
    void AddErrorCorrection(const BlockLayout& layout, const std::uint8_t* dataCodewords,
                            std::uint8_t* codewords);

    // Parts of EncodeMatrix (7.7 to 7.10). PlaceData: the codeword sequence,
    // followed by sixteen zero bytes, placed with the function patterns and
    // masked, version and format information written: every cell of matrix
    // (a symbol of version's size, its cells unset) is set.
    void PlaceData(ModuleMatrix& matrix, const std::uint8_t* codewords, int version, int ecLevel,
                   int mask);
    // What the placement of a version reads from its template, worked out on
    // its first use: the windows of its placement path (two words each, see
    // clsQRCodePlacement.cpp) and the bits of its function modules and of the
    // dark ones among them, by column (CellKernels' column layout).
    struct PlacementTables {
        std::vector<std::uint64_t> windows;
        std::vector<std::uint8_t> functionColumns;
        std::vector<std::uint8_t> darkColumns;
    };
    // The tables of version, made from its template in matrix when they are
    // not made yet (the matrix then holds the template).
    const PlacementTables& TablesOf(ModuleMatrix& matrix, int version);
    // PlaceCodewords lays the codeword sequence (sixteen zero bytes after it)
    // along the version's placement windows, masked by mask pattern mask
    // (0..7), with the function patterns into the matrix, 0 light and 1 dark;
    // the format and version information areas light, the cells past the
    // symbol with anything in them.
    void PlaceCodewords(ModuleMatrix& matrix, const std::uint8_t* codewords, int version, int mask);
    void WriteVersionInformation(ModuleMatrix& matrix, int version) const;
    void WriteFormatInformation(ModuleMatrix& matrix, int ecLevel, int mask) const;

    std::unique_ptr<clsFiniteField> field_;
    std::unique_ptr<clsReedSolomon> coder_;
    std::array<std::uint8_t, 41> alignmentSpacing_{};
    std::array<std::uint8_t, 160> blockCount_{};
    std::array<std::uint8_t, 160> ecCodewordsPerBlock_{};
    std::array<std::int32_t, 18> bitWeight_{};
    bool kanjiAllowed_ = true;
    // The placement tables of each version 1..40, made for its first symbol.
    std::array<PlacementTables, 41> placementTables_;
};
