// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/put_back.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "display/grid.h"
#include "previews/record_format.h"
#include "replace/bmp_loader.h"
#include "replace/history.h"
#include "replace/scene_writer.h"
#include "shell/folder_listing.h"
#include "shell/tags.h"
#include "workflow/preview_export.h"

namespace orvane {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameLetters(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

std::string joinPath(const std::string& folder, const std::string& name) {
  const auto joined = std::filesystem::path(std::u8string(folder.begin(), folder.end())) /
                      std::filesystem::path(std::u8string(name.begin(), name.end()));
  const std::u8string text = joined.u8string();
  return std::string(text.begin(), text.end());
}

const char* kindReason(EntryKind kind) {
  switch (kind) {
    case EntryKind::Link: return "a symbolic link (links are not followed)";
    case EntryKind::Folder: return "a folder";
    case EntryKind::Other: return "not a regular file";
    case EntryKind::File: break;
  }
  return "";
}

// The preview's pixels in the store, which the scan found in the movie and
// every write of Orvane's own keeps up to date.
bool samePixels(const Stores& s, int n, const RecordPicture& picture) { return s.preview(n).pixels == picture.pixels; }

// A change whose record overlaps that of an earlier one (by position) is
// refused: one step must not write the same bytes twice.
void refuseOverlaps(const Stores& s, PutBackPlan& plan) {
  std::vector<PlannedScene> kept;
  std::vector<PlannedScene> byPlace = std::move(plan.changes);
  std::sort(byPlace.begin(), byPlace.end(), [&s](const PlannedScene& a, const PlannedScene& b) {
    return s.recordPosition(a.preview) < s.recordPosition(b.preview);
  });
  for (PlannedScene& scene : byPlace) {
    if (!kept.empty() &&
        s.recordPosition(scene.preview) - s.recordPosition(kept.back().preview) < record::kRecordBytes) {
      plan.refused.push_back({scene.file, "its record overlaps that of scene preview " +
                                              std::to_string(kept.back().preview) +
                                              ", which is put back too; put it back on its own"});
      continue;
    }
    kept.push_back(std::move(scene));
  }
  std::sort(kept.begin(), kept.end(),
            [](const PlannedScene& a, const PlannedScene& b) { return a.preview < b.preview; });
  plan.changes = std::move(kept);
}

}  // namespace

FolderPictureReader bmpFileReader(FileLayer& files) {
  return [&files](const std::string& path) -> Result<IndexPicture> {
    auto picture = readBmp(path, files);
    if (picture) return picture;
    switch (picture.error().code) {
      case ErrorCode::BmpCompressed:
        return Error{ErrorCode::BmpCompressed, "it is RLE (run length encoded): save it without compression"};
      case ErrorCode::BmpRefused:
        return Error{ErrorCode::BmpRefused, "it is not a 144 x 81, 8-bit, uncompressed, bottom-up BMP"};
      default: return picture.error();
    }
  };
}

int previewNumberIn(const std::string& name, const std::string& stem, const std::string& extension) {
  // stem, "-", three digits, ".", an extension without a dot.
  const std::size_t digits = stem.size() + 1, dot = digits + 3;
  if (name.size() <= dot + 1 || name.compare(0, stem.size(), stem) != 0 || name[stem.size()] != '-' || name[dot] != '.')
    return -1;
  int n = 0;
  for (std::size_t i = digits; i < dot; ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    n = n * 10 + (name[i] - '0');
  }
  const std::string ext = name.substr(dot + 1);
  if (ext.find('.') != std::string::npos) return -1;
  if (!extension.empty() && !sameLetters(ext, extension)) return -1;
  return n;
}

Result<PutBackPlan> planPutBack(const Stores& s, const std::string& folder, const std::string& extension,
                                const FolderPictureReader& read) {
  const auto entries = listFolder(folder);
  if (!entries) return entries.error();
  const std::string stem = previewFileStem(s);
  PutBackPlan plan;
  plan.folder = folder;
  plan.pattern = stem + "-NNN." + (extension.empty() ? "*" : extension);

  std::map<int, std::vector<std::string>> named;  // preview number -> files
  for (const FolderEntry& entry : *entries) {
    const int n = previewNumberIn(entry.name, stem, extension);
    if (entry.kind != EntryKind::File)
      plan.ignored.push_back({entry.name, kindReason(entry.kind)});
    else if (n < 0)
      plan.ignored.push_back({entry.name, "not named " + plan.pattern});
    else
      named[n].push_back(entry.name);
  }

  const int count = std::min(s.piccount, kMaxPreviews);
  for (const auto& [n, files] : named) {
    if (n < 1 || n > count) {
      for (const std::string& file : files)
        plan.refused.push_back({file, "the movie has no scene preview " + std::to_string(n) + " (it holds " +
                                          std::to_string(count) + ")"});
      continue;
    }
    if (files.size() > 1) {
      std::string all;
      for (const std::string& file : files) all += (all.empty() ? "" : ", ") + file;
      for (const std::string& file : files)
        plan.refused.push_back({file, "more than one file for scene preview " + std::to_string(n) + " (" + all + ")"});
      continue;
    }
    const auto picture = read(joinPath(folder, files.front()));
    if (!picture) {
      plan.refused.push_back({files.front(), picture.error().message});
      continue;
    }
    PlannedScene scene{n, files.front(), {}, 0};
    scene.picture = loadedPicture(*picture);
    scene.cleared = clearedPixels(*picture);
    if (samePixels(s, n, scene.picture))
      plan.unchanged.push_back(scene.file);
    else
      plan.changes.push_back(std::move(scene));
  }
  refuseOverlaps(s, plan);
  return plan;
}

Told putPreviewsBack(Core& core, const PutBackPlan& plan, FileLayer& files) {
  core.logline("Putting previews back from " + escapedName(plan.folder) + "...", tag::Replace);
  for (const SkippedFile& f : plan.ignored)
    core.logline("Ignored " + escapedName(f.file) + ": " + f.why + ".", tag::Replace);
  for (const SkippedFile& f : plan.refused)
    core.logline("Refused " + escapedName(f.file) + ": " + f.why + ".", tag::Replace);
  for (const PlannedScene& scene : plan.changes)
    if (scene.cleared > 0)
      core.logline(escapedName(scene.file) + ": colours above 150 cleared to 0, please recheck it.", tag::Replace);

  std::size_t replaced = 0;
  Told outcome;
  if (plan.changes.empty()) {
    core.logline("Nothing to replace.", tag::Replace);
  } else {
    std::vector<NewScene> scenes;
    std::vector<int> previews;
    for (const PlannedScene& scene : plan.changes) {
      scenes.push_back({scene.preview, scene.picture});
      previews.push_back(scene.preview);
    }
    const Status written = writeScenes(core, std::move(scenes), files, "folder " + plan.folder);
    if (!written && written.error().code == ErrorCode::Unchanged) {
      core.logline("Nothing to replace: the movie already holds these pictures.", tag::Replace);
    } else if (written) {
      replaced = plan.changes.size();
      drawPage(core);
      core.logline("Replaced " + previewsText(previews) + ".", tag::Replace);
    } else {
      // The whole text of the box, which also says how the movie was left.
      std::string why = written.error().message;
      for (std::size_t at; (at = why.find("\r\n")) != std::string::npos;) why.replace(at, 2, " ");
      core.logline("Could not replace " + previewsText(previews) + ": " + why, tag::Replace);
      outcome = tellWriteError(core, written.error());
    }
  }
  core.logline(std::to_string(replaced) + " replaced, " + std::to_string(plan.unchanged.size()) + " unchanged, " +
                   std::to_string(plan.refused.size()) + " refused, " + std::to_string(plan.ignored.size()) +
                   " ignored.",
               tag::Replace);
  return outcome;
}

}  // namespace orvane
