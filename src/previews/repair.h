// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Row repair and colour check of the pictures in memory.
#include <cstdint>
#include <string>

#include "shell/core.h"

namespace orvane {

// "1.5", "40.5", "2": half the count, one decimal digit only when not whole.
std::string halfCountText(std::int32_t count, const std::string& decimalSeparator);

// Forces every row prefix of previews 1..piccount to 0, 144 and logs the count;
// with IsBMP also forces the picture buffer's prefixes and clears its pixel
// values above 150, logging the colour line and then the count line.
void repair(Core& core, bool IsBMP);

}  // namespace orvane
