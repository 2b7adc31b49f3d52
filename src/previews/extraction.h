// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Copies one found preview record into the next preview number of the store.
#include <cstdint>

#include "shell/core.h"

namespace orvane {

// `rows` points at the record's 11826 row bytes (prefixes included), as they
// lie in the movie at one-based position `fromPosition`; the scanner hands over its
// own buffer, so the movie is not read a second time. Increases piccount and
// returns the new number n; copies the rows into preview n, prefixes included,
// exactly as stored; logs "Extracting <fromPosition> to memory(<n>)" and "Done" under
// Extract_3, drives the lower bar (busy, rows 5, 10, ..., 80 of 81, idle) and
// repaints the window. With the store already full (255 previews) the call
// changes nothing and returns 0.
std::int32_t extractPreview(Core& core, std::int32_t fromPosition, const std::uint8_t* rows);

}  // namespace orvane
