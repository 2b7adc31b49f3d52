#include "cli/steps.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "display/palette.h"
#include "replace/scene_writer.h"
#include "shell/platform.h"
#include "workflow/open_movie.h"

namespace orvane::cli {

bool openMovie(Core& core, const std::string& movie, std::ostream& err) {
  if (const auto opened = loadfile3(core, movie); !opened) {
    err << "orvane-cli: cannot open movie " << movie << ": " << opened.error().message << '\n';
    return false;
  }
  return true;
}

bool previewExists(const Core& core, int n, std::ostream& err) {
  if (n >= 1 && n <= core.s.piccount) return true;
  err << "orvane-cli: the movie holds " << core.s.piccount << " previews; there is no preview " << n << '\n';
  return false;
}

bool loadPalette(Core& core, const std::string& chosen, std::ostream& err) {
  const std::string path =
      !chosen.empty() ? chosen : palettePath(withTrailingSeparator(executableDir(), kPathSeparator));
  if (const Status loaded = loadPaletteInto(core.s, path); !loaded) {
    err << "orvane-cli: " << loaded.error().message << '\n';
    return chosen.empty();
  }
  return true;
}

int replaceRoad(Core& core, const std::string& movie, int n, const std::function<bool(Core&)>& load,
                std::ostream& err) {
  if (!openMovie(core, movie, err) || !previewExists(core, n, err) || !load(core)) return 1;
  core.s.selpic = static_cast<std::int16_t>(n);
  return begin(core, n).ok() ? 0 : 1;
}

bool mayWrite(const std::string& path, bool force, std::ostream& err) {
  std::error_code ec;
  if (force || !std::filesystem::exists(path, ec)) return true;
  err << "orvane-cli: " << path << " already exists (use --force to replace it)\n";
  return false;
}

bool writeOutput(const std::string& path, std::string_view bytes, std::ostream& err) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (file) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file) file.close();
  if (file) return true;
  err << "orvane-cli: could not write " << path << ": " << std::strerror(errno ? errno : EIO) << '\n';
  return false;
}

}  // namespace orvane::cli
