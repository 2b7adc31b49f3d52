// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shell completion scripts for bash, zsh and fish, written from the parser's
// own table of commands and options, the one --help shows: a new command or
// option completes as soon as it is added.
#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace orvane::cli {

// The script for `shell` ("bash", "zsh" or "fish"); empty for another name.
std::optional<std::string> completionScript(const CLI::App& app, const std::string& shell);

}  // namespace orvane::cli
