#include "cli/history_command.h"

#include <ostream>

#include "cli/console_host.h"
#include "cli/movie_command.h"
#include "replace/history.h"
#include "replace/journal.h"
#include "shell/core.h"

namespace orvane::cli {

int runHistory(const HistoryOptions& options, std::ostream& out, std::ostream& err) {
  ConsoleHost host(out, err);
  Core core(host);
  if (!openedAndSettled(core, options.movie, err)) return 1;
  const auto journal = Journal::load(systemFileLayer(), options.movie);
  if (!journal) {
    err << "orvane-cli: " << journal.error().message << '\n';
    return 1;
  }
  const History history = readHistory(journal->records());
  if (history.replacements.empty()) err << "orvane-cli: no replacements recorded for " << options.movie << '\n';
  for (auto r = history.replacements.rbegin(); r != history.replacements.rend(); ++r)
    out << localTimeText(r->entry->time) << "  " << scenesText(*r->entry) << "  " << stateText(r->state) << '\n';
  return 0;
}

}  // namespace orvane::cli
