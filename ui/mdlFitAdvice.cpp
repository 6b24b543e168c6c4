#include "mdlFitAdvice.h"

#include "FormTexts.h"
#include "clsQRCode.h"

std::optional<std::wstring> TooLongMessage(const clsQRCode& coder, const std::uint8_t* data,
                                           int count, int version, int level)
{
    using namespace FormTexts;
    if (level < 1 || level > 4) level = 2; // what the encoder made of them
    if (version < 0 || version > 40) version = 0;
    const clsQRCode::Fit fit = coder.MeasureFit(data, count, version, level);
    if (fit.fits) return std::nullopt;

    // A larger version only helps a version the user chose.
    const bool largerVersion = version > 0 && fit.smallestVersion > version;
    const bool lowerLevel = fit.highestLevel > 0;
    if (largerVersion && lowerLevel)
        return TooLongOpening + ChooseVersionOrLevel(fit.smallestVersion, fit.highestLevel) +
               AdviceEnd;
    if (largerVersion) return TooLongOpening + ChooseVersion(fit.smallestVersion) + AdviceEnd;
    if (lowerLevel) return TooLongOpening + ChooseLevel(fit.highestLevel) + AdviceEnd;
    // Neither alone helps: maybe both together do.
    if (fit.versionAtL > 0) return TooLongOpening + ChooseBoth(fit.versionAtL) + AdviceEnd;
    return TooLongForAny;
}
