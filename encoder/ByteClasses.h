#pragma once

#include <cstdint>

// The character classes of a message's bytes for the segmentation of
// ISO/IEC 18004 7.4, 64 bytes to a word: bit i of word w describes byte
// 64w + i, and bits at or past the message's end are 0.
//
// A kernel classifies 64 bytes at a time by range tests (digit, the
// alphanumeric set of Table 5, Shift JIS lead and trail ranges); the Shift JIS
// character boundaries then follow from the lead bytes a word at a time with
// one addition, since every maximal run of lead bytes starts at a character
// boundary and its bytes at even distances from that start open a two-byte
// character. The plain kernel tests one byte at a time through a table and
// runs on any CPU; the SSE2 kernel (every x86-64) tests sixteen bytes per
// instruction, the AVX2 kernel thirty-two. The Shift JIS classes are tested
// only in words that may hold a two-byte character (a byte of 80 or more, or
// a character opened by the word before), and not at all without kanji.
namespace ByteClasses {

enum class Kernel { Plain, Sse2, Avx2 };

// The longest message the segmentation takes: 7089 bytes (Table 7).
constexpr int MaxBytes = 7089;
constexpr int MaxWords = (MaxBytes + 63) / 64;

struct Masks {
    int words = 0;
    std::uint64_t digit[MaxWords];        // '0'..'9'
    std::uint64_t alphanumeric[MaxWords]; // the 45 characters of Table 5, digits included
    // Both bytes of every kanji character: a byte that opens a two-byte
    // Shift JIS character, counted from the message's first byte, and the
    // byte after it, when the two pass clsQRCode::IsKanjiPair.
    std::uint64_t kanjiPair[MaxWords];
    // Bytes only byte mode can take and that open no two-byte character: the
    // segmentation's entries there have byte mode alone. With kanji not
    // allowed, every byte outside the alphanumeric set.
    std::uint64_t byteOnly[MaxWords];
};

// Whether this build, CPU and operating system can run kernel.
bool Supported(Kernel kernel);
// The kernel a test forced, else the fastest supported one.
Kernel Active();
// Makes Active() answer kernel until UseFastestKernel(); false, changing
// nothing, when it is not supported. For tests of every path.
bool ForceKernel(Kernel kernel);
void UseFastestKernel();

// The classes of data[0 .. n-1], 0 < n <= MaxBytes, by the Active kernel;
// kanji false leaves kanjiPair empty and byteOnly as without kanji.
void Classify(const std::uint8_t* data, int n, bool kanji, Masks& out);

} // namespace ByteClasses
