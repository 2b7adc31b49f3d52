// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few facts the program asks of the operating system directly.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "shell/error.h"

namespace orvane {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The folder holding the running executable, without a trailing separator;
// empty when the system cannot tell.
std::string executableDir();

// The folder where Orvane keeps state of the user's own (journals of movies in
// folders it cannot write to): $XDG_STATE_HOME/orvane, else
// $HOME/.local/state/orvane; %LOCALAPPDATA%\Orvane on Windows. Empty when
// none of these is set. The folder may not exist yet.
std::string userStateFolder();

// The folder where Orvane keeps the user's settings (the palette they chose):
// $XDG_CONFIG_HOME/orvane, else $HOME/.config/orvane; %LOCALAPPDATA%\Orvane
// on Windows. Empty when none of these is set. The folder may not exist yet.
std::string userConfigFolder();

// The program's arguments as UTF-8, argv[0] first. On Windows they come from
// the wide command line, as the user typed them; argv there holds only what
// the ANSI code page can show.
std::vector<std::string> programArguments(int argc, const char* const* argv);

// Renames `from` over `to`, replacing a file already there in one step.
// On Windows the rename is written through to the disk before it returns.
std::error_code moveOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Creates the file `path`, which must not exist yet (never through a link),
// writes all of `bytes` and flushes them to stable storage. `created` is set
// once the file exists, so that a caller can remove what a failure left.
std::error_code writeNewFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, bool& created);

// Flushes a folder's list of names to stable storage, so that a rename in it
// survives a power cut. A folder that cannot be flushed is let be: on Windows
// the rename itself was written through (moveOver).
void syncFolder(const std::filesystem::path& folder);

// Opens a picture file for reading as a C stream, which the caller closes
// (std::fclose) or hands on. Only a regular file with bytes in it opens:
// IsDirectory, NotRegularFile and PictureEmpty refuse a folder, a pipe or
// device, and an empty file, in words for the user. On POSIX the open does not
// wait (a pipe with no writer would block it) and the opened file itself is
// checked, so the check and the read cannot be told apart by swapping the path
// in between.
Result<std::FILE*> openPictureFile(const std::string& path);

// Makes a file-size limit come back as a write error (EFBIG) that the writer
// reports and recovers from, instead of ending the process. Called first
// thing by both programs.
void ignoreFileSizeLimitSignal();

// Makes a write to a pipe whose reader has gone come back as an error
// (EPIPE) that orvane-cli reports, instead of ending the process silently.
void ignoreBrokenPipeSignal();

// Standard output passes bytes as they are: on Windows it would otherwise
// turn every line feed into a carriage return and a line feed.
void binaryStandardOutput();

// Standard output is a terminal (not a file or a pipe).
bool standardOutputIsTerminal();
// Standard input is a terminal (nothing was piped or redirected into it).
bool standardInputIsTerminal();

// Sets an environment variable for this process and what it loads, unless the
// user has set it already.
void setEnvironmentIfUnset(const std::string& name, const std::string& value);

// The address of `symbol` in the loadable module at `path` (a shared library),
// loaded the first time and kept for the rest of the run.
Result<void*> moduleSymbol(const std::string& path, const char* symbol);

// Tells the system that a large block is best backed by large pages (where it
// has them); nothing changes but the speed of first touching it.
void adviseLargePages(void* block, std::size_t bytes);

// How many processors this process may run on (its affinity where the system
// tells it, else the machine's count); at least 1.
unsigned processorsAvailable();

// How many of those processors are idle just now: fewer threads of the whole
// system are ready to run, this one included, than there are processors.
// Where the system does not tell, all but this thread's own.
unsigned processorsIdle();

}  // namespace orvane
