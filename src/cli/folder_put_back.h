// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The --all form of replace and import: every file of a folder named
// "<movie name>-NNN.<extension>" put back over preview NNN in one step.
#include <string>

#include "cli/command.h"
#include "shell/core.h"
#include "workflow/put_back.h"
#include "workflow/replace_road.h"

namespace orvane::cli {

// Throws UsageError unless exactly one form was given: N and PICTURE, or
// --all DIR (`all`).
void checkOneOrAll(const std::string& command, const std::string& number, const std::string& picture,
                   const std::string& all);

// Opens the movie (openMovie), then puts the folder back (putFolderBack, its
// log lines in the activity log), with the outcome line on standard output. Returns 0 when every file named for a
// preview went in or already held its picture; 1, saying why on standard error, when the movie or the folder cannot be
// read, no file is named for a preview, a file was refused or the write failed (its box is on standard error already).
int runFolderPutBack(Core& core, const std::string& movie, const std::string& folder, const std::string& extension,
                     const FolderPictureReader& read, Io& io);

}  // namespace orvane::cli
