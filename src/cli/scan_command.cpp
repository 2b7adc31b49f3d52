// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli scan MOVIE [--json] [-q]: how many previews the movie holds (or
// a JSON list of them); the scan's log lines on standard error.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/scan_report.h"
#include "cli/steps.h"

namespace orvane::cli {
namespace {

struct ScanOptions {
  std::string movie;
  bool json = false;
};

int runScan(const ScanOptions& o, Io& io) {
  ConsoleHost host(io, o.movie);
  Core core(host);
  const auto scanned = openMovie(core, o.movie, io);
  if (!scanned) return 1;
  if (o.json)
    io.out << previewsJson(previewFacts(core.s));
  else
    io.out << summaryLine(core.s.piccount) << '\n';
  // A movie read only in part is not a scan that did its work.
  if (!scanned->readOutcome) {
    io.diagnostic(o.movie) << "could not read all of it: " << scanned->readOutcome.error().message << " (from byte "
                           << scanned->readUpTo << " on)\n";
    return 1;
  }
  return 0;
}

}  // namespace

Command addScan(CLI::App& parent) {
  auto o = std::make_shared<ScanOptions>();
  CLI::App* sub = parent.add_subcommand("scan", "Find the previews in a movie and say how many there are");
  sub->add_option("MOVIE", o->movie, "The movie file (.3mm)")->required()->type_name("");
  sub->add_flag("--json", o->json,
                "Print a JSON array instead of the summary: one\n"
                "object per preview with its number, its one-based\n"
                "position in the movie and the rows repaired");
  sub->footer(
      "The activity log goes to standard error, the summary (or the JSON) to\n"
      "standard output. A file without previews says so on standard error and\n"
      "exits 0.\n"
      "\n"
      "Examples:\n  orvane-cli scan demo.3mm\n  orvane-cli scan -q --json demo.3mm");
  return {sub, {"scan MOVIE [--json] [-q]"}, [o](Io& io) { return runScan(*o, io); }};
}

}  // namespace orvane::cli
