#pragma once

// Test messages that fill a symbol: every reader test wants symbols whose
// data region is really data, not mostly pad codewords.

#include <cstdint>
#include <random>
#include <vector>

#include "clsQRCode.h"

// A message of mixed numeric, alphanumeric and byte runs (NUL and high bytes
// included) that fills version v at level l to within a few bits.
inline std::vector<std::uint8_t> FillToCapacity(clsQRCode& qr, int version, int level,
                                                std::mt19937& random)
{
    static clsQRCode::BitArray bits;
    const int capacity = qr.DataCodewords(version, level) * 8;
    auto fits = [&](const std::vector<std::uint8_t>& m) {
        return qr.BuildBitStream(bits, m.data(), static_cast<int>(m.size()), version, true) - 4 <=
               capacity;
    };
    auto character = [&](int kind) -> std::uint8_t {
        switch (kind) {
        case 0:
            return static_cast<std::uint8_t>('0' + random() % 10);
        case 1:
            return static_cast<std::uint8_t>(
                "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:"[random() % 45]);
        default:
            return static_cast<std::uint8_t>(random() % 256);
        }
    };
    std::vector<std::uint8_t> message;
    // Runs of a few to a few dozen characters while they fit...
    for (;;) {
        const int kind = static_cast<int>(random() % 3);
        const int length = 1 + static_cast<int>(random() % (4 + capacity / 40));
        std::vector<std::uint8_t> longer = message;
        for (int i = 0; i < length; ++i) longer.push_back(character(kind));
        if (!fits(longer)) break;
        message = std::move(longer);
    }
    // ...then single digits to the last bit.
    for (;;) {
        message.push_back(character(0));
        if (!fits(message)) {
            message.pop_back();
            return message;
        }
    }
}
