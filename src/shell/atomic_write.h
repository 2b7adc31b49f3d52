#pragma once
// Writes a whole file so that nobody ever sees half of it: the bytes go to a
// new file beside the target, are flushed to stable storage, and only then is
// that file renamed over the target. A failure at any step removes the new
// file and leaves whatever was at the target as it was.
//
// The target is a name, never a way to somewhere else: an output name that is
// a symbolic link (dangling or not) is refused, as are folders and devices,
// and so is an output that is the very file being read from (same device and
// inode, which also catches hard links and other spellings of the same path).
#include <cstdint>
#include <span>
#include <string>
#include <system_error>

namespace orvane {

// Why a target was refused before anything was written.
enum class WriteRefusal {
  OutputIsLink = 1,     // the target name is a symbolic link
  OutputNotRegular,     // a folder, device, pipe or socket has the target name
  OutputIsSource,       // the target is the file that is being read from
};

const std::error_category& writeRefusalCategory();
std::error_code make_error_code(WriteRefusal refusal);

// The refusal, if any, for writing to `path` while `source` is being read
// (no source: an empty string). Paths are UTF-8. A target that does not exist
// yet is fine; one that cannot be examined gives the system's error.
std::error_code checkWriteTarget(const std::string& path, const std::string& source = {});

// Writes `bytes` to `path` as described above, replacing a regular file that
// is already there. Empty on success.
std::error_code writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                    const std::string& source = {});

}  // namespace orvane

template <>
struct std::is_error_code_enum<orvane::WriteRefusal> : std::true_type {};
