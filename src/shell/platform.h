#pragma once
// The few facts the program asks of the operating system directly.
#include <string>

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
// $HOME/.local/state/orvane; %LOCALAPPDATA%\orvane on Windows. Empty when
// none of these is set. The folder may not exist yet.
std::string userStateFolder();

// Makes a file-size limit come back as a write error (EFBIG) that the writer
// reports and recovers from, instead of ending the process. Called first
// thing by both programs.
void ignoreFileSizeLimitSignal();

}  // namespace orvane
