// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/picture_reader.h"

#include "qtimage/picture_file.h"

#if ORVANE_PICTURE_MODULE
#include <string>

#include "orvane/version.h"
#include "shell/platform.h"
#include "shell/stores.h"
#endif

namespace orvane::cli {

#if ORVANE_PICTURE_MODULE
namespace {

// The module beside the program (a build tree), else the installed one, found
// from the program's folder first and then at the folder the build was
// configured for.
Result<qtimage::ReadPicture> loadReader() {
  const std::string here = withTrailingSeparator(executableDir(), kPathSeparator);
  const std::string candidates[] = {here + qtimage::kModuleName,
                                    here + kModuleDirFromBinDir + "/" + qtimage::kModuleName,
                                    std::string(kInstalledModuleDir) + "/" + qtimage::kModuleName};
  std::string why;
  for (const std::string& path : candidates) {
    const auto entry = moduleSymbol(path, qtimage::kModuleEntry);
    if (entry) return reinterpret_cast<qtimage::ReadPicture (*)()>(*entry)();
    if (why.empty()) why = entry.error().message;
  }
  return Error{ErrorCode::PictureUnsupported, "picture files cannot be read here (" + why + ")"};
}

Result<convert::SourcePicture> readThroughModule(const std::string& path, const convert::Framing& framing) {
  static const Result<qtimage::ReadPicture> reader = loadReader();
  if (!reader) return reader.error();
  return (*reader)(path, framing);
}

}  // namespace

PictureDecoder pictureReader() { return readThroughModule; }
#else
PictureDecoder pictureReader() { return qtimage::readPictureFile; }
#endif

}  // namespace orvane::cli
