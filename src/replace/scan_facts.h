// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeping what the scan found true to the file after Orvane itself wrote to
// the open movie, so that the grid, an export and the next write's checks see
// what the file now holds.
#include <string>

#include "replace/journal_format.h"
#include "shell/file_identity.h"
#include "shell/stores.h"

namespace orvane {

// After a write of Orvane's own to `movie` (a replacement, an undo, a redo, or
// a failed one put back): when `movie` is the open movie, its kept identity
// follows the file, provided it was still the scanned one just before the
// write (`before`); and every preview whose record starts at a written scene
// gets that scene's bytes as they are now (`written`, null when nothing
// changed) and their checksum.
void noteOwnWrite(Stores& s, const std::string& movie, const FileIdentity& before, const FileIdentity& after,
                  const journal::WriteEntry* written);

}  // namespace orvane
