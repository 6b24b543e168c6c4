#include "SymbolReader.h"

#include "ModuleImage.h"
#include "ZxingRead.h"

std::optional<std::vector<std::uint8_t>> ReadSymbolBytes(const std::uint8_t* cells, int size,
                                                         int stride, int pixelsPerModule)
{
    if (cells == nullptr || size <= 0 || stride < size || pixelsPerModule < 1 ||
        pixelsPerModule > 16)
        return std::nullopt;
    constexpr int quietZone = 4; // ISO/IEC 18004, 6.3.8
    const ModuleImage image = DrawModules(cells, size, stride, pixelsPerModule, quietZone);
    auto reading = ReadQrWithZxing(image.pixels.data(), image.side, image.side, ZxingSearch::Pure);
    if (!reading) return std::nullopt;
    return std::move(reading->bytes);
}
