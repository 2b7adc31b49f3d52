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

}  // namespace orvane
