// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/import_picture.h"

#include "replace/bmp_writer.h"
#include "shell/tags.h"
#include "workflow/load_picture.h"
#include "workflow/preview_export.h"

namespace orvane {

std::vector<convert::Rgb8> pictureColours(const Stores& s) {
  std::vector<convert::Rgb8> colours;
  for (const bmp::Rgb& c : pictureColourTable(s)) colours.push_back({c.red, c.green, c.blue});
  return colours;
}

Result<PreparedPicture> preparePicture(const std::string& path, const std::vector<convert::Rgb8>& colours,
                                       const convert::ConvertOptions& options, const PictureDecoder& decode) {
  const auto source = decode(path, options.framing);
  if (!source) return source.error();
  convert::PaletteMatcher matcher(colours);
  const auto done = convert::convertPicture(*source, matcher, options);
  if (!done) return done.error();
  return PreparedPicture{done->picture, convert::describeConversion(*source, options, *done)};
}

FolderPictureReader convertingReader(const Stores& s, const convert::ConvertOptions& options,
                                     const PictureDecoder& decode) {
  return [colours = pictureColours(s), options, decode](const std::string& path) -> Result<IndexPicture> {
    const auto prepared = preparePicture(path, colours, options, decode);
    if (!prepared) return prepared.error();
    return prepared->picture;
  };
}

void logImportStart(Core& core, const std::string& path) { core.logline("Importing " + path + "...", tag::Import); }

Status logPrepared(Core& core, const std::string& path, const Result<PreparedPicture>& prepared) {
  if (!prepared) {
    core.logline("Cannot import " + path + ": " + prepared.error().message + ".", tag::Import);
    return prepared.error();
  }
  core.logline(prepared->description, tag::Import);
  return {};
}

Status finishImport(Core& core, const std::string& path, const Result<PreparedPicture>& prepared) {
  const Status reported = logPrepared(core, path, prepared);
  if (reported) {
    acceptPicture(core, prepared->picture);
    core.s.pictureName = fileNameOf(path);
  }
  return reported;
}

Status importPicture(Core& core, const std::string& path, const convert::ConvertOptions& options,
                     const PictureDecoder& decode) {
  logImportStart(core, path);
  return finishImport(core, path, preparePicture(path, pictureColours(core.s), options, decode));
}

Result<std::vector<std::uint8_t>> convertToBmp(Core& core, const std::string& path, const std::string& shownPath,
                                               const convert::ConvertOptions& options, const PictureDecoder& decode) {
  logImportStart(core, shownPath);
  const auto prepared = preparePicture(path, pictureColours(core.s), options, decode);
  if (const Status logged = logPrepared(core, shownPath, prepared); !logged) return logged.error();
  return bmp::encode8(prepared->picture, pictureColourTable(core.s));
}

}  // namespace orvane
