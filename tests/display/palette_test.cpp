// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "display/palette.h"
#include "display/palette_choice.h"
#include "support/fake_host.h"
#include "support/movie_builder.h"
#include "workflow/startup.h"

namespace orvane {
namespace {

// 256 entries: red = e, green = 255 - e, blue = e / 2.
std::string entry(int e) {
  return "c" + std::to_string(e) + "," + std::to_string(e) + "," + std::to_string(255 - e) + "," +
         std::to_string(e / 2);
}

std::string onePerLine() {
  std::string text;
  for (int e = 0; e < 256; ++e) text += entry(e) + "\r\n";
  return text;
}

void expectGradient(const PaletteTable& t) {
  for (int e = 0; e < 256; ++e) {
    ASSERT_EQ(t[e].r, e) << e;
    ASSERT_EQ(t[e].g, 255 - e) << e;
    ASSERT_EQ(t[e].b, e / 2) << e;
  }
}

TEST(PaletteReader, ReadsFieldsNotLinesWhateverTheLayout) {
  const auto lined = parsePalette(onePerLine());
  EXPECT_TRUE(lined.status.ok());
  expectGradient(lined.table);

  // The same 1024 fields: four entries to a line, blanks before fields, LF ends,
  // one field per line, a trailing comma before a line end, blank lines.
  std::string packed, perField;
  for (int e = 0; e < 256; ++e) {
    packed += "  " + entry(e) + (e % 4 == 3 ? "\n" : ",  ");
    std::istringstream fields(entry(e));
    for (std::string f; std::getline(fields, f, ',');) perField += f + (e % 7 == 0 ? ",\r\n\r\n" : "\r\n");
  }
  for (const auto& text : {packed, perField}) {
    const auto p = parsePalette(text);
    EXPECT_TRUE(p.status.ok());
    expectGradient(p.table);
  }
}

TEST(PaletteReader, LeadingFieldIsIgnoredAndTrailingContentNeverRead) {
  std::string text = "Black shadow,1,2,3\r\n";
  for (int e = 1; e < 256; ++e) text += "anything at all," + std::to_string(e) + ",0,0\r\n";
  text += "this is not a palette entry, and it is never read\r\n";
  const auto p = parsePalette(text);
  EXPECT_TRUE(p.status.ok());
  EXPECT_EQ(p.table[0].r, 1);
  EXPECT_EQ(p.table[0].b, 3);
  EXPECT_EQ(p.table[255].r, 255);
}

TEST(PaletteReader, BrokenFilesKeepWhatWasReadAndDefaultTheRest) {
  std::string shortText;
  for (int e = 0; e < 100; ++e) shortText += entry(e) + "\r\n";
  shortText += "c100,7";  // entry 100 is cut inside
  auto p = parsePalette(shortText);
  EXPECT_EQ(p.status.error().code, ErrorCode::PaletteTooShort);
  EXPECT_EQ(p.entriesRead, 100);
  EXPECT_EQ(p.table[99].r, 99);
  EXPECT_EQ(p.table[100].r, defaultPalette()[100].r);
  EXPECT_EQ(p.table[255].g, defaultPalette()[255].g);

  std::string word = onePerLine();
  word.replace(word.find("c3,3,"), 5, "c3,red,");
  p = parsePalette(word);
  EXPECT_EQ(p.status.error().code, ErrorCode::PaletteNotANumber);
  EXPECT_EQ(p.failedEntry, 3);
  EXPECT_EQ(p.badField, "red");
  EXPECT_EQ(p.table[2].r, 2);
  EXPECT_EQ(p.table[3].r, defaultPalette()[3].r);

  for (const char* bad : {"40000", "-1", "2.5", ""}) {
    std::string text = onePerLine();
    text.replace(text.find("c9,9,"), 5, std::string("c9,") + bad + ",");
    p = parsePalette(text);
    EXPECT_FALSE(p.status.ok()) << bad;
    EXPECT_EQ(p.failedEntry, 9) << bad;
  }
}

TEST(PaletteColour, ComponentsAbove255CountAs255AndIndicesOutsideTheTableTakeTheEnds) {
  auto s = makeStores();
  s->palComponent(7, 1) = 300;
  s->palComponent(7, 2) = 0x12;
  s->palComponent(7, 3) = 0x34;
  s->palComponent(255, 3) = 9;
  EXPECT_EQ(paletteArgb(*s, 7), 0xFFFF1234u);
  EXPECT_EQ(paletteArgb(*s, 256), 0xFF000009u);
  EXPECT_EQ(paletteArgb(*s, -1), 0xFF000000u);
}

struct LoadPaletteTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
  testing::TempDir dir;
  void SetUp() override { core.s.appdir = dir.path().string() + "/"; }
  void write(const std::string& text) { std::ofstream(dir.file(kPaletteFileName), std::ios::binary) << text; }
};

TEST_F(LoadPaletteTest, StartUpLogsTitleCreditAndPaletteInOrderWithBarsAtRest) {
  std::string text = onePerLine();
  text.replace(text.find("c1,1,"), 5, "c1,999,");  // stored as written
  write(text);
  Form_Load(core);
  EXPECT_EQ(host.lines.at(0), "About:Orvane v0.9\r\n");
  EXPECT_EQ(host.lines.at(1).rfind("About:", 0), 0u);
  EXPECT_EQ(host.lines.at(2), "Palette:Starting to load palette\r\n");
  EXPECT_EQ(host.lines.at(3), "Palette:Palette loaded.\r\n");
  EXPECT_EQ(host.lines.at(4),
            "Palette:Colours from " + core.s.appdir + kPaletteFileName + " (Orvane palette, 256 entries).\r\n");
  EXPECT_EQ(host.lines.size(), 5u);
  EXPECT_EQ(core.s.palComponent(1, 1), 999);
  EXPECT_EQ(core.s.palComponent(200, 2), 55);
  EXPECT_EQ(core.s.palComponent(256, 1), 0);
  EXPECT_EQ(core.s.palComponent(5, 0), 0);
  EXPECT_EQ(core.bars.shape1().widthTwips, 3345);
  EXPECT_EQ(core.bars.shape3().widthTwips, 3345);
  EXPECT_EQ(core.bars.shape3().fillColour, kBarGrey);
  EXPECT_EQ(core.bars.shape1().fillColour, kBarBlue);
}

TEST_F(LoadPaletteTest, AMissingOrBrokenFileIsReportedOnceAndNeverLoaded) {
  load_pal1(core);  // no file yet
  ASSERT_EQ(host.lines.size(), 2u);
  EXPECT_NE(host.lines[1].find(dir.file(kPaletteFileName)), std::string::npos);
  EXPECT_EQ(host.lines[1].rfind("Palette:Could not open", 0), 0u);
  EXPECT_EQ(core.s.palComponent(255, 3), defaultPalette()[255].b);

  write("only,1,2,3\r\n");
  host.lines.clear();
  load_pal1(core);
  ASSERT_EQ(host.lines.size(), 2u);
  EXPECT_NE(host.lines[1].find("ends before entry 255"), std::string::npos);
  EXPECT_EQ(core.s.palComponent(0, 1), 1);
  EXPECT_EQ(core.log.text().find("Palette loaded."), std::string::npos);
}

// A palette the user chose is used at every start while it is there; when it
// is gone the program's own is used and the log says so.
TEST_F(LoadPaletteTest, TheChosenPaletteWinsWhileItIsThere) {
#ifdef _WIN32
  GTEST_SKIP() << "the settings folder comes from LOCALAPPDATA, which this test does not move";
#else
  const std::string home = (dir.path() / "config").string();
  const char* before = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = before ? before : "";
  ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  write(onePerLine());
  const std::string mine = (dir.path() / "mine.gpl").string();
  std::ofstream(mine, std::ios::binary) << "GIMP Palette\n1 2 3 first\n";

  ASSERT_TRUE(chooseOwnPalette(core, mine).ok());
  EXPECT_EQ(rememberedPalette(), mine);
  host.lines.clear();
  load_pal1(core);
  EXPECT_EQ(host.lines.at(2), "Palette:Colours from " + mine + " (GIMP palette, 1 entry).\r\n");
  EXPECT_EQ(core.s.palComponent(0, 3), 3);

  std::filesystem::remove(mine);
  host.lines.clear();
  load_pal1(core);
  ASSERT_EQ(host.lines.size(), 4u);
  EXPECT_NE(host.lines[3].find("chosen earlier, " + mine + ", is no longer there"), std::string::npos);
  EXPECT_EQ(core.s.palComponent(0, 3), 0);  // entry 0 of the program's own file
  if (before)
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
#endif
}

TEST(ShippedPalette, IsTheBuiltInDefaultTableAndKeepsPreviewColoursDistinct) {
  std::ifstream in(std::string(ORVANE_SOURCE_DIR) + "/data/mevrik.palette", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto p = parsePalette(text);
  ASSERT_TRUE(p.status.ok());
  EXPECT_EQ(text, formatPaletteFile(defaultPalette()));
  for (int a = 0; a <= 150; ++a)
    for (int b = a + 1; b <= 150; ++b) {
      const auto& x = p.table[a];
      const auto& y = p.table[b];
      EXPECT_FALSE(x.r == y.r && x.g == y.g && x.b == y.b) << a << " and " << b;
    }
}

}  // namespace
}  // namespace orvane
