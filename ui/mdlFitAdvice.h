// What to tell the user when the chosen version and error-correction level
// cannot hold the data: the encoder is asked again with larger versions and
// lower levels, so the message can name a choice that works.
#pragma once

#include <cstdint>
#include <string>

class clsQRCode;

// version 0 (automatic) or 1..40, level 1 = L .. 4 = H, mask -1 or 0..7, as
// given to Encode. Returns the warning text; it names the smallest version at
// this level and the highest lower level at this version that hold the data,
// when there are such.
std::wstring TooLongMessage(clsQRCode& coder, const std::uint8_t* data, int count, int version,
                            int level, int mask);

// The smallest version (1..40) that holds the data at level, 0 when none does.
int SmallestFittingVersion(clsQRCode& coder, const std::uint8_t* data, int count, int level,
                           int mask);
