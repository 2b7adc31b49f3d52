// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Paths travel through the program as UTF-8 strings. A std::filesystem::path
// made from a plain string reads it in the system's narrow encoding (the ANSI
// code page on Windows, where "é" or "映" fails or turns into another name),
// so every conversion goes through these two.
#include <filesystem>
#include <string>

namespace orvane {

std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8FromPath(const std::filesystem::path& path);

}  // namespace orvane
