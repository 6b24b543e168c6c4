#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Reads a module grid back with an independent decoder, ZXing-cpp.
//
// cells: size x size modules, row-major, rows stride bytes apart, nonzero =
// dark. The grid is drawn black on white with a four-module quiet zone at
// pixelsPerModule (1..16), the way a symbol would be printed. The result is the
// raw content bytes of the decoded symbol, before any character-set conversion,
// or nothing when ZXing finds no valid QR Code symbol.
std::optional<std::vector<std::uint8_t>> ReadSymbolBytes(const std::uint8_t* cells, int size,
                                                         int stride, int pixelsPerModule);
