// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "shell/platform.h"

int main(int argc, char** argv) {
  orvane::ignoreFileSizeLimitSignal();
  orvane::ignoreBrokenPipeSignal();  // a reader gone is reported, exit 1
  orvane::binaryStandardOutput();    // a BMP written there arrives byte for byte
  // UTF-8 arguments: on Windows from the wide command line, so that a path
  // with characters outside the ANSI code page arrives intact.
  const std::vector<std::string> args = orvane::programArguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& arg : args) pointers.push_back(arg.c_str());
  return orvane::cli::run(static_cast<int>(pointers.size()), pointers.data(), std::cout, std::cerr,
                          {&std::cin, orvane::standardInputIsTerminal(), orvane::standardOutputIsTerminal()});
}
