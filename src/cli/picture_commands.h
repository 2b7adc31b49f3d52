#pragma once
// The commands that bring in pictures of any format and help paint in the
// palette's colours. Each takes its parsed arguments and the two streams
// (activity-log lines on `out`, refusals and message boxes on `err`) and
// returns the exit code: 0 done, 1 refused or failed.
#include <iosfwd>
#include <string>

#include "convert/convert.h"

namespace orvane::cli {

// convert PICTURE OUT.bmp: writes the picture, converted, as a BMP that Open
// BMP and replace accept unchanged, its colour table the 151 colours a
// picture may use.
struct ConvertArgs {
  std::string picture, output;
  convert::ConvertOptions options;
  std::string palette;  // --palette, empty for the usual one
  bool force = false;   // replace an existing output file
};
int runConvert(const ConvertArgs& args, std::ostream& out, std::ostream& err);

// import MOVIE N PICTURE: converts the picture and writes it over preview N,
// exactly as convert followed by replace would.
struct ImportArgs {
  std::string movie;
  int preview = 0;
  std::string picture;
  convert::ConvertOptions options;
  std::string palette;
};
int runImport(const ImportArgs& args, std::ostream& out, std::ostream& err);

// palette --gpl OUT.gpl: the entries a picture may use as a GIMP palette.
struct PaletteArgs {
  std::string gpl;
  std::string palette;
  bool force = false;
};
int runPalette(const PaletteArgs& args, std::ostream& out, std::ostream& err);

}  // namespace orvane::cli
