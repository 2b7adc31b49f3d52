// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows branches of the file layer, run under Windows (or Wine): names
// outside the ANSI code page through every file call, a movie another program
// holds open for writing, and the writer's lock between two processes.
#include <gtest/gtest.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>

#include "replace/movie_lock.h"
#include "shell/atomic_write.h"
#include "shell/folder_listing.h"
#include "shell/platform.h"
#include "shell/utf8_path.h"
#include "support/bmp_fixture.h"

namespace orvane {
namespace {

using testing::Bytes;

const std::string kFolderName = "Szene \xC3\xA4 \xE6\x98\xA0\xE7\x94\xBB";                   // Szene ä 映画
const std::string kMovieName = "Film\xC3\xA9 \xCE\xA3\xCE\xBA\xCE\xB7\xCE\xBD\xCE\xAE.3mm";  // Filmé Σκηνή.3mm

std::string utf8Folder(const testing::TempDir& dir) { return utf8FromPath(dir.path()) + "\\" + kFolderName; }

Bytes readAll(OpenFile& file) {
  Bytes bytes(static_cast<std::size_t>(file.length().value()));
  EXPECT_EQ(file.readAt(0, bytes).value(), bytes.size());
  return bytes;
}

// Another program's handle: opened straight through the system, so this
// process's own bookkeeping of its writers does not know it.
HANDLE foreignHandle(const std::string& path, DWORD access) {
  return CreateFileW(pathFromUtf8(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs orvane-cli (beside this program) with `args`, its output thrown away;
// returns its exit code.
int runCli(const std::vector<std::string>& args) {
  std::wstring line = L"\"" + pathFromUtf8(executableDir() + "\\orvane-cli.exe").wstring() + L"\"";
  for (const auto& arg : args) line += L" \"" + pathFromUtf8(arg).wstring() + L"\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE nul =
      CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdOutput = start.hStdError = nul;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process)) {
    CloseHandle(nul);
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(nul);
  return static_cast<int>(code);
}

TEST(WindowsFiles, NamesOutsideTheAnsiCodePageWorkThroughEveryFileCall) {
  testing::TempDir dir;
  FileLayer& files = systemFileLayer();
  const std::string folder = utf8Folder(dir);
  ASSERT_TRUE(files.makeFolders(folder));
  const std::string movie = folder + "\\" + kMovieName;

  auto created = files.openOrCreate(movie);
  ASSERT_TRUE(created) << created.error().message;
  const Bytes bytes{1, 2, 3, 4, 5};
  ASSERT_EQ((*created)->writeAt(0, bytes).value(), bytes.size());
  ASSERT_TRUE((*created)->flush());
  ASSERT_TRUE((*created)->close());
  EXPECT_TRUE(files.exists(movie));

  auto reading = files.open(movie, OpenMode::Read);
  ASSERT_TRUE(reading);
  EXPECT_EQ(readAll(**reading), bytes);
  // The same file by another spelling of its path has the same identity.
  auto again = files.open(
      utf8FromPath(pathFromUtf8(folder) / ".." / pathFromUtf8(kFolderName) / pathFromUtf8(kMovieName)), OpenMode::Read);
  ASSERT_TRUE(again);
  EXPECT_EQ((*reading)->identity().value(), (*again)->identity().value());

  const auto listed = listFolder(folder);
  ASSERT_TRUE(listed);
  ASSERT_EQ(listed->size(), 1u);
  EXPECT_EQ(listed->front().name, kMovieName);

  // A whole-file write under such a name, new and over an older file (MoveFileExW).
  const std::string exported = folder + "\\vorschau \xC3\xA9.bmp";
  ASSERT_TRUE(writeFileAtomically(exported, Bytes{9, 9}, movie));
  ASSERT_TRUE(writeFileAtomically(exported, Bytes{7, 7, 7}, movie));
  auto written = files.open(exported, OpenMode::Read);
  ASSERT_TRUE(written);
  EXPECT_EQ(readAll(**written), (Bytes{7, 7, 7}));
  EXPECT_FALSE(files.open(folder, OpenMode::Read)) << "a folder is no file";
  EXPECT_EQ(files.open(folder + "\\missing.3mm", OpenMode::Read).error().code, ErrorCode::NotFound);
}

TEST(WindowsFiles, UserStateFolderAndArgumentsKeepEveryCharacter) {
  const std::wstring saved = _wgetenv(L"LOCALAPPDATA") ? _wgetenv(L"LOCALAPPDATA") : L"";
  _wputenv_s(L"LOCALAPPDATA", L"C:\\Users\\Jos\u00e9\\AppData\\Local");
  EXPECT_EQ(userStateFolder(), "C:\\Users\\Jos\xC3\xA9\\AppData\\Local\\Orvane");
  _wputenv_s(L"LOCALAPPDATA", saved.c_str());
  EXPECT_FALSE(executableDir().empty());
  // This program was started without arguments: argv[0] only, as UTF-8.
  const char* narrow[] = {"program"};
  EXPECT_EQ(programArguments(1, narrow).size(), 1u);
}

TEST(WindowsFiles, AMovieOpenForWritingElsewhereIsReadButNotWritten) {
  testing::TempDir dir;
  FileLayer& files = systemFileLayer();
  const std::string movie = dir.file("held.3mm");
  testing::writeFile(movie, Bytes(100, 7));

  const HANDLE writer = foreignHandle(movie, GENERIC_READ | GENERIC_WRITE);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  auto reading = files.open(movie, OpenMode::Read);
  ASSERT_TRUE(reading) << reading.error().message;
  EXPECT_EQ(readAll(**reading), Bytes(100, 7));
  const auto refused = files.open(movie, OpenMode::ReadWrite);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().code, ErrorCode::Busy);
  EXPECT_EQ(refused.error().message, kOpenForWritingElsewhere);
  CloseHandle(writer);

  // A program that only reads it does not stand in the way; and this
  // process's own second writer (the lock holder's companion) is no stranger.
  const HANDLE reader = foreignHandle(movie, GENERIC_READ);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  auto first = files.open(movie, OpenMode::ReadWrite);
  ASSERT_TRUE(first) << first.error().message;
  auto second = files.open(movie, OpenMode::ReadWrite);
  ASSERT_TRUE(second) << second.error().message;
  CloseHandle(reader);
}

TEST(WindowsFiles, TheWritersLockHoldsAgainstAnotherProcess) {
  testing::TempDir dir;
  const std::string movie = dir.file("locked.3mm");
  std::filesystem::copy_file(ORVANE_RUNTIME_DIR "/demo.3mm", movie);
  const std::string picture = dir.file("p.bmp");
  testing::writeFile(
      picture, testing::validBmp(testing::pictureRows([](int x, int y) { return testing::seededPixel(x, y, 5); })));
  const Bytes before = testing::readFile(movie);
  {
    auto lock = lockMovie(systemFileLayer(), movie, std::chrono::milliseconds(0));
    ASSERT_TRUE(lock) << lock.error().message;
    EXPECT_EQ(runCli({"replace", movie, "1", picture}), 1);
    EXPECT_EQ(testing::readFile(movie), before);
  }
  EXPECT_EQ(runCli({"replace", movie, "1", picture}), 0);
  EXPECT_NE(testing::readFile(movie), before);
}

}  // namespace
}  // namespace orvane
