// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture argument that may be "-": the picture is then read whole from
// standard input into a private temporary file, which the readers take like
// any other and which is removed again at the end of the command.
#include <optional>
#include <string>

#include "cli/command.h"

namespace orvane::cli {

class PictureArgument {
 public:
  // The argument as a file the readers can open. Empty, after a diagnostic,
  // when "-" is a terminal or standard input cannot be read or kept.
  static std::optional<PictureArgument> from(const std::string& argument, const Io& io);

  PictureArgument(PictureArgument&& other) noexcept;
  PictureArgument& operator=(PictureArgument&&) = delete;
  ~PictureArgument();

  const std::string& path() const { return path_; }

 private:
  PictureArgument(std::string path, std::string folder) : path_(std::move(path)), folder_(std::move(folder)) {}
  std::string path_;
  std::string folder_;  // the temporary folder to remove; empty for a file argument
};

}  // namespace orvane::cli
