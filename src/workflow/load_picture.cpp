// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/load_picture.h"

#include "display/drawing.h"
#include "previews/repair.h"
#include "replace/bmp_loader.h"
#include "shell/tags.h"

namespace orvane {

std::string lowerCasePath(const std::string& path) {
  std::string lower = path;
  for (char& ch : lower)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return lower;
}

std::string fileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void acceptPicture(Core& core, const IndexPicture& picture) {
  Stores& s = core.s;
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x < kPictureWidth; ++x) s.bufferPixel(y, x) = picture.at(x, y);
  repair(core, true);
  s.pictureLoaded = true;
  draw1(core);
}

Told loadblimp(Core& core, const std::string& filename, FileLayer& files) {
  const std::string shown = lowerCasePath(filename);
  core.logline("Opening " + shown + "...", tag::BMPsys);

  const auto picture = readBmp(filename, files);
  if (!picture) {
    if (picture.error().code == ErrorCode::BmpCompressed)
      core.host.messageBox(picture.error().message, "Can't read", BoxIcon::None);
    core.logline("Bmp is corrupt! (" + shown + ")", tag::BMPsys);
    return picture.error();
  }
  core.logline("Image loaded, checking for errors...", tag::BMPsys);
  acceptPicture(core, *picture);
  core.s.pictureName = fileNameOf(filename);
  return {};
}

}  // namespace orvane
