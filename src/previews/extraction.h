#pragma once
// Copies one found preview record into the next preview number of the store.
#include <cstdint>

#include "shell/core.h"

namespace orvane {

// `rows` points at the record's 11826 row bytes (prefixes included), read from
// the movie at one-based position `fromx`. Increases piccount and hands the new
// number back through `numb`; logs, drives the lower bar (sixteen steps) and
// repaints. `tox` is accepted and not used.
void intract2(Core& core, std::int32_t fromx, std::int32_t tox, std::int32_t& numb, const std::uint8_t* rows);

}  // namespace orvane
