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

int runFolderPutBack(Core& core, const std::string& movie, const std::string& folder, const std::string& extension,
                     const FolderPictureReader& read, Io& io) {
  if (!openMovie(core, movie, io)) return 1;
  const auto before = newestReplacement(movie);
  const FolderRoadEnd put = putFolderBack(core, folder, extension, read);
  switch (put.end.stop) {
    case RoadStop::FolderUnread:
      io.diagnostic(folder) << "cannot read the folder: " << put.end.refusal.message << '\n';
      return 1;
    case RoadStop::NothingNamed:
      io.diagnostic(folder) << "no file in the folder is named " << put.plan.pattern << '\n';
      return 1;
    case RoadStop::WriteFailed: return 1;
    default: break;
  }
  // Nothing retouched writes nothing and makes no step.
  if (const auto after = newestReplacement(movie); after && (!before || after->number != before->number))
    io.out << replacedLine(*after, movie) << '\n';
  if (put.end.done()) return 0;
  io.diagnostic(folder) << put.plan.refused.size() << " of " << put.plan.named()
                        << (put.plan.named() == 1 ? " file" : " files") << " refused (the Replace lines say why)\n";
  return 1;
}

}  // namespace orvane::cli
