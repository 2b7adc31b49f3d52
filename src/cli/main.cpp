// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "cli/cli.h"
#include "shell/platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

int main(int argc, char** argv) {
  orvane::ignoreFileSizeLimitSignal();
  orvane::ignoreBrokenPipeSignal();  // a reader gone is reported, exit 1
#ifdef _WIN32
  // A BMP written to standard output must arrive byte for byte.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return orvane::cli::run(argc, argv, std::cout, std::cerr,
                          {&std::cin, orvane::standardInputIsTerminal(), orvane::standardOutputIsTerminal()});
}
