// SPDX-License-Identifier: GPL-3.0-or-later
// A named pipe, a socket or a device where a movie, a BMP or a palette belongs
// is refused at once: nothing waits for the other end of a pipe. (Were the
// open to block, this test would hang until the suite's timeout.)
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "display/palette.h"
#include "replace/bmp_loader.h"
#include "support/fake_host.h"
#include "support/movie_builder.h"
#include "workflow/open_movie.h"

namespace orvane {
namespace {

TEST(SpecialFiles, PipesSocketsAndDevicesAreRefusedAtOnce) {
  testing::TempDir dir;
  const std::string fifo = dir.file("pipe.3mm");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string socketPath = dir.file("sock.bmp");
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(s, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socketPath.c_str());
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  for (const std::string& path : {fifo, socketPath, std::string("/dev/null"), std::string("/dev/zero")}) {
    SCOPED_TRACE(path);
    testing::FakeHost host;
    Core core(host);
    const auto movie = loadfile3(core, path);
    ASSERT_FALSE(movie);
    EXPECT_EQ(movie.error().code, ErrorCode::NotRegularFile);
    EXPECT_TRUE(host.lines.empty());

    const auto bmp = readBmp(path);
    ASSERT_FALSE(bmp);
    EXPECT_EQ(bmp.error().code, ErrorCode::NotRegularFile);

    const Status palette = loadPaletteInto(core.s, path);
    ASSERT_FALSE(palette);
    EXPECT_EQ(palette.error().code, ErrorCode::NotRegularFile);

    // Nor is one opened for writing, or created over.
    EXPECT_EQ(systemFileLayer().open(path, OpenMode::ReadWrite).error().code, ErrorCode::NotRegularFile);
  }
  ::close(s);
}

}  // namespace
}  // namespace orvane
