#include "mdlFitAdvice.h"

#include "clsQRCode.h"

namespace {

constexpr const wchar_t* LevelNames[] = {L"L", L"M", L"Q", L"H"};

const wchar_t* LevelName(int level)
{
    return level >= 1 && level <= 4 ? LevelNames[level - 1] : L"M";
}

// "纠错等级 M 或更低的纠错等级"; L is the lowest level, so it stands alone.
std::wstring LevelAdvice(int level)
{
    const std::wstring named = std::wstring(L"纠错等级 ") + LevelName(level);
    return level == 1 ? named : named + L" 或更低的纠错等级";
}

bool Fits(clsQRCode& coder, const std::uint8_t* data, int count, int version, int level, int mask)
{
    return coder.EncodeMatrix(data, count, version, level, mask).has_value();
}

// The highest level below `level` that holds the data at version (0 =
// automatic), 0 when none does.
int HighestFittingLowerLevel(clsQRCode& coder, const std::uint8_t* data, int count, int version,
                             int level, int mask)
{
    for (int lower = level - 1; lower >= 1; --lower)
        if (Fits(coder, data, count, version, lower, mask)) return lower;
    return 0;
}

} // namespace

int SmallestFittingVersion(clsQRCode& coder, const std::uint8_t* data, int count, int level,
                           int mask)
{
    // The automatic choice is the smallest version; its size gives it back
    // (ISO/IEC 18004, 6.1: 4v + 17 modules per side).
    const auto matrix = coder.EncodeMatrix(data, count, 0, level, mask);
    return matrix ? (matrix->Size() - 17) / 4 : 0;
}

std::wstring TooLongMessage(clsQRCode& coder, const std::uint8_t* data, int count, int version,
                            int level, int mask)
{
    if (level < 1 || level > 4) level = 2; // what the encoder made of it
    if (version < 0 || version > 40) version = 0;

    const std::wstring opening = L"内容太长，所选版本和纠错等级无法容纳，";
    const int biggerVersion =
        version > 0 ? SmallestFittingVersion(coder, data, count, level, mask) : 0;
    const int lowerLevel = HighestFittingLowerLevel(coder, data, count, version, level, mask);

    if (biggerVersion > version && lowerLevel > 0)
        return opening + L"请选择版本 " + std::to_wstring(biggerVersion) +
               L" 或更大的版本，或选择" + LevelAdvice(lowerLevel) + L"！";
    if (biggerVersion > version)
        return opening + L"请选择版本 " + std::to_wstring(biggerVersion) + L" 或更大的版本！";
    if (lowerLevel > 0) return opening + L"请选择" + LevelAdvice(lowerLevel) + L"！";

    // Neither alone helps: maybe both together do.
    const int anyVersion = SmallestFittingVersion(coder, data, count, 1, mask);
    if (anyVersion > 0)
        return opening + L"请选择更大的版本和更低的纠错等级（例如版本 " +
               std::to_wstring(anyVersion) + L"、纠错等级 L）！";
    return L"内容太长，即使版本 40 和纠错等级 L 也无法容纳，请减少内容！";
}
