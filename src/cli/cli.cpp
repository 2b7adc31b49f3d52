#include "cli/cli.h"

#include <ostream>

namespace orvane::cli {
int run(int, const char* const*, std::ostream&, std::ostream& err) {
  err << "not yet\n";
  return 2;
}
}  // namespace orvane::cli
