#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One message that every encoder in the benchmark turns into a symbol.
struct BenchWorkload {
    // How the message is made of characters, so that each peer can be handed
    // the segment mode it would choose for it itself.
    enum class Kind { Text, Binary, Numeric, Alphanumeric, Kanji };

    std::string name;
    Kind kind = Kind::Binary;
    // The message bytes; Shift JIS for the kanji workload.
    std::vector<std::uint8_t> bytes;
    // The same characters as Unicode, for ZXing's writer, which takes text.
    std::wstring text;
    // 1..40, or 0 for the smallest version that holds the message.
    int version = 0;
    // 1 = L, 2 = M, 3 = Q, 4 = H.
    int level = 2;
};

// The five workloads: a short URL, and one full symbol per mode.
// Random contents come from a fixed seed, so every run encodes the same bytes.
std::vector<BenchWorkload> MakeBenchWorkloads();
