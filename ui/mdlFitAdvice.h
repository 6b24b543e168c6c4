// What to tell the user when the chosen version and error-correction level
// cannot hold the data: the encoder is asked once what would fit (a
// measurement, no symbol is built), so the message can name a choice that
// works. Portable: built and tested natively as well as for the window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class clsQRCode;

// version 0 (automatic) or 1..40, level 1 = L .. 4 = H, as given to Encode;
// other values are taken as the encoder takes them (level M, automatic
// version). Nothing when the data fit. Otherwise the warning text: it names
// the smallest version at this level and the highest lower level at this
// version that hold the data, when there are such, else a version that holds
// them at level L.
std::optional<std::wstring> TooLongMessage(const clsQRCode& coder, const std::uint8_t* data,
                                           int count, int version, int level);
