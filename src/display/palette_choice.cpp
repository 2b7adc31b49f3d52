// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/palette_choice.h"

#include <span>
#include <vector>

#include "display/palette.h"
#include "display/palette_formats.h"
#include "shell/atomic_write.h"
#include "shell/platform.h"
#include "shell/tags.h"

namespace orvane {

std::string paletteChoiceFile() {
  const std::string folder = userConfigFolder();
  return folder.empty() ? std::string() : folder + kPathSeparator + "palette";
}

std::string rememberedPalette(FileLayer& files) {
  const std::string settings = paletteChoiceFile();
  if (settings.empty()) return {};
  auto file = files.open(settings, OpenMode::Read);
  if (!file) return {};
  std::vector<std::uint8_t> bytes(4096);
  const auto got = (*file)->readAt(0, bytes);
  if (!got) return {};
  std::string path(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(*got));
  if (const auto end = path.find_first_of("\r\n"); end != std::string::npos) path.resize(end);
  return path;
}

Status rememberPalette(const std::string& path, FileLayer& files) {
  const std::string settings = paletteChoiceFile();
  if (settings.empty()) return Error{ErrorCode::NotFound, "There is no settings folder for this user."};
  if (const Status made = files.makeFolders(userConfigFolder()); !made) return made;
  const std::string line = path + "\n";
  return writeFileAtomically(settings, std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
}

Status chooseOwnPalette(Core& core, const std::string& path, FileLayer& files) {
  core.logline("Starting to load palette", tag::Palette);
  const AnyPalette read = readAnyPaletteFile(path, files);
  if (!read.parse.status) {
    const std::string kept = "Palette not changed: " + read.parse.status.error().message;
    core.logline(kept.substr(0, kept.rfind("; default colours used.")) + ".", tag::Palette);
    return read.parse.status;
  }
  applyPalette(core.s, read.parse.table);
  core.logline("Palette loaded.", tag::Palette);
  core.logline(coloursFromLine(path, read), tag::Palette);
  if (const Status kept = rememberPalette(path, files); !kept)
    core.logline("The palette could not be remembered for the next start: " + kept.error().message, tag::Palette);
  return {};
}

}  // namespace orvane
