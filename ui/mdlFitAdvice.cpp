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

// The highest level below `level` that holds the data at version (0 =
// automatic), 0 when none does.
int HighestFittingLowerLevel(const clsQRCode& coder, const std::uint8_t* data, int count,
                             int version, int level)
{
    for (int lower = level - 1; lower >= 1; --lower)
        if (coder.FittingVersion(data, count, version, lower) != 0) return lower;
    return 0;
}

} // namespace

std::wstring TooLongMessage(const clsQRCode& coder, const std::uint8_t* data, int count,
                            int version, int level)
{
    if (level < 1 || level > 4) level = 2; // what the encoder made of it
    if (version < 0 || version > 40) version = 0;

    const std::wstring opening = L"内容太长，所选版本和纠错等级无法容纳，";
    const int biggerVersion = version > 0 ? coder.FittingVersion(data, count, 0, level) : 0;
    const int lowerLevel = HighestFittingLowerLevel(coder, data, count, version, level);

    if (biggerVersion > version && lowerLevel > 0)
        return opening + L"请选择版本 " + std::to_wstring(biggerVersion) +
               L" 或更大的版本，或选择" + LevelAdvice(lowerLevel) + L"！";
    if (biggerVersion > version)
        return opening + L"请选择版本 " + std::to_wstring(biggerVersion) + L" 或更大的版本！";
    if (lowerLevel > 0) return opening + L"请选择" + LevelAdvice(lowerLevel) + L"！";

    // Neither alone helps: maybe both together do.
    const int anyVersion = coder.FittingVersion(data, count, 0, 1);
    if (anyVersion > 0)
        return opening + L"请选择更大的版本和更低的纠错等级（例如版本 " +
               std::to_wstring(anyVersion) + L"、纠错等级 L）！";
    return L"内容太长，即使版本 40 和纠错等级 L 也无法容纳，请减少内容！";
}
