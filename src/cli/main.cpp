#include <iostream>

#include "cli/cli.h"
#include "shell/platform.h"

int main(int argc, char** argv) {
  orvane::ignoreFileSizeLimitSignal();
  return orvane::cli::run(argc, argv, std::cout, std::cerr);
}
