// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/folder_put_back.h"

#include <ostream>

#include "cli/journal_steps.h"
#include "cli/steps.h"

namespace orvane::cli {

void checkOneOrAll(const std::string& command, const std::string& number, const std::string& picture,
                   const std::string& all) {
  if (!all.empty() && !(number.empty() && picture.empty()))
    throw UsageError(command + " takes either N and PICTURE or --all DIR, not both");
  if (all.empty() && (number.empty() || picture.empty()))
    throw UsageError(command + " needs a preview number and a picture, or --all DIR");
}

int putFolderBack(Core& core, const std::string& movie, const std::string& folder, const std::string& extension,
                  const FolderPictureReader& read, Io& io) {
  if (!openMovie(core, movie, io)) return 1;
  const auto before = newestReplacement(movie);
  const auto plan = planPutBack(core.s, folder, extension, read);
  if (!plan) {
    io.diagnostic(folder) << "cannot read the folder: " << plan.error().message << '\n';
    return 1;
  }
  if (plan->named() == 0) {
    io.diagnostic(folder) << "no file in the folder is named " << plan->pattern << '\n';
    return 1;
  }
  if (!putPreviewsBack(core, *plan)) return 1;
  // Nothing retouched writes nothing and makes no step.
  if (const auto after = newestReplacement(movie); after && (!before || after->number != before->number))
    io.out << replacedLine(*after, movie) << '\n';
  if (plan->refused.empty()) return 0;
  io.diagnostic(folder) << plan->refused.size() << " of " << plan->named() << (plan->named() == 1 ? " file" : " files")
                        << " refused (the Replace lines say why)\n";
  return 1;
}

}  // namespace orvane::cli
