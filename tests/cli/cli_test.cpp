// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <cerrno>
#include <cstring>
#include <sstream>

#include "cli/cli.h"
#include "cli/history_report.h"
#include "cli/journal_steps.h"
#include "display/palette.h"
#include "previews/record_format.h"
#include "replace/bmp_loader.h"
#include "support/bmp_fixture.h"
#include "support/movie_builder.h"

namespace orvane {
namespace {

using testing::Bytes;

struct Result {
  int code;
  std::string out, err;
};

Result cli(std::vector<std::string> args) {
  args.insert(args.begin(), "orvane-cli");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int code = cli::run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, out.str(), err.str()};
}

struct CliTest : ::testing::Test {
  testing::TempDir dir;
  std::string movie = dir.file("Scene.3mm");
  Bytes original;
  void SetUp() override {
    // Two previews, the second with a damaged row-3 prefix, between filler.
    original = testing::filler(100, 4);
    testing::put(original, 100, testing::makeRecord(1));
    Bytes second = testing::makeRecord(2);
    second[3 * record::kRowBytes + 1] = 0x91;
    testing::put(original, 100 + record::kRecordBytes + 50, second);
    Bytes tail = testing::filler(300, 5);
    testing::put(original, original.size(), tail);
    testing::writeFile(movie, original);
  }
  std::string bmp(const std::string& name, int seed) {
    const std::string path = dir.file(name);
    testing::writeFile(
        path,
        testing::validBmp(testing::pictureRows([seed](int x, int y) { return testing::seededPixel(x, y, seed); })));
    return path;
  }
};

TEST_F(CliTest, ScanPrintsExactlyTheScansLogLinesOnStandardError) {
  const Result r = cli({"scan", movie});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "2 previews found\n");
  const std::string second = std::to_string(101 + record::kRecordBytes + 50);
  EXPECT_EQ(r.err, "Scanner:Trying to load Scene.3mm, file is " + std::to_string(original.size()) +
                       " bytes long.\n"
                       "Extract_3:Extracting 101 to memory(1)\nExtract_3:Done\n"
                       "Extract_3:Extracting " +
                       second +
                       " to memory(2)\nExtract_3:Done\n"
                       "Scanner:Done\nRepairer:Starting repairs...\nRepairer:0.5pairs repaired.\n");
}

TEST_F(CliTest, UsageAndUnreadableMoviesGiveTheirExitCodes) {
  EXPECT_EQ(cli({}).code, 2);
  EXPECT_EQ(cli({"scan"}).code, 2);
  EXPECT_EQ(cli({"frobnicate", movie}).code, 2);
  EXPECT_EQ(cli({"replace", movie, "x", "a.bmp"}).code, 2);
  const Result help = cli({"--help"});
  EXPECT_EQ(help.code, 0);
  for (const char* command : {"scan MOVIE", "replace MOVIE N", "export MOVIE N", "--all", "Examples"})
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
  EXPECT_EQ(cli({"--version"}).out, "orvane-cli 0.9\n");

  const Result missing = cli({"scan", dir.file("nope.3mm")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find(dir.file("nope.3mm")), std::string::npos);
  EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
}

TEST_F(CliTest, ReplacePrintsTheWholeRoadAndWritesOnlyThatPreview) {
  const Result r = cli({"replace", movie, "2", bmp("pic.bmp", 3)});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "scene preview 2 (pic.bmp) replaced (journal step 1; undo with: orvane-cli undo " + movie + ")\n");
  const std::string bmpLines = "BMPsys:Opening " + dir.file("pic.bmp") +
                               "...\n"
                               "BMPsys:Image loaded, checking for errors...\n"
                               "Repairer:Starting repairs...\nRepairer:No errors.\nRepairer:40.5pairs repaired.\n"
                               "Replace:Begining scene replace...\nReplace:Scene replaced.\n";
  ASSERT_GE(r.err.size(), bmpLines.size());
  EXPECT_EQ(r.err.substr(r.err.size() - bmpLines.size()), bmpLines);

  const Bytes after = testing::readFile(movie);
  ASSERT_EQ(after.size(), original.size());
  const std::size_t at = 100 + record::kRecordBytes + 50;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (i >= at && i < at + record::kTrailerOffset) continue;
    ASSERT_EQ(after[i], original[i]) << "byte " << i << " outside the preview changed";
  }
  EXPECT_EQ(after[at + 3 * record::kRowBytes + 1], 0x90);   // the damaged prefix is sound now
  EXPECT_EQ(after[at + 2], testing::seededPixel(0, 0, 3));  // top-left pixel, upright
}

// Every refusal of the replace road is told by the road itself, and so
// exactly once: one diagnostic line, whichever step refused.
TEST_F(CliTest, EachReplaceRefusalIsOneDiagnosticLine) {
  const std::string good = bmp("pic.bmp", 3);
  Bytes compressed = testing::readFile(good);
  testing::setLe32(compressed, bmp::kCompression, 1);
  testing::writeFile(dir.file("rle.bmp"), compressed);
  Bytes broken = testing::readFile(good);
  broken[0] = 'b';
  testing::writeFile(dir.file("broken.bmp"), broken);
  const struct {
    std::vector<std::string> args;
    std::string says;
  } cases[] = {
      {{"replace", dir.file("none.3mm"), "1", good}, "cannot open movie"},
      {{"replace", movie, "3", good}, "there is no preview 3"},
      {{"replace", movie, "1", dir.file("broken.bmp")}, "cannot use it as the picture"},
      {{"replace", movie, "1", dir.file("missing.bmp")}, "cannot use it as the picture"},
      {{"replace", movie, "1", dir.file("rle.bmp")}, "This BMP is RLE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.args[3]);
    const Result r = cli(c.args);
    EXPECT_EQ(r.code, 1);
    std::size_t diagnostics = 0;
    for (std::size_t at = 0; (at = r.err.find("orvane-cli: ", at)) != std::string::npos; ++at) ++diagnostics;
    EXPECT_EQ(diagnostics, 1u) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  EXPECT_EQ(testing::readFile(movie), original);
}

TEST_F(CliTest, ReplaceRefusalsExitWithOneAndWriteNothing) {
  Result r = cli({"replace", movie, "3", bmp("pic.bmp", 3)});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("there is no preview 3"), std::string::npos);
  EXPECT_EQ(cli({"replace", movie, "0", dir.file("pic.bmp")}).code, 1);

  Bytes broken = testing::readFile(dir.file("pic.bmp"));
  broken[0] = 'b';
  testing::writeFile(dir.file("broken.bmp"), broken);
  r = cli({"replace", movie, "1", dir.file("broken.bmp")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("BMPsys:Bmp is corrupt! ("), std::string::npos);
  EXPECT_EQ(testing::readFile(movie), original);
}

TEST_F(CliTest, ExportedPreviewsReplaceBackToAnIdenticalMovie) {
  // Repair the damaged prefix first, as any replacement would: the round trip
  // holds for previews whose prefixes are sound.
  ASSERT_EQ(cli({"replace", movie, "2", bmp("pic.bmp", 6)}).code, 0);
  const Bytes before = testing::readFile(movie);
  for (const char* n : {"1", "2"}) {
    const std::string out = dir.file(std::string("p") + n + ".bmp");
    const Result e = cli({"export", movie, n, out});
    ASSERT_EQ(e.code, 0) << e.err;
    ASSERT_EQ(cli({"replace", movie, n, out}).code, 0);
    EXPECT_EQ(testing::readFile(movie), before) << "preview " << n;
  }
  EXPECT_EQ(cli({"export", movie, "1", dir.file("p1.bmp")}).code, 1);  // exists: refused
  EXPECT_EQ(cli({"export", "--force", movie, "1", dir.file("p1.bmp")}).code, 0);
}

TEST_F(CliTest, HistoryListsReplacementsNewestFirstAndUndoAllGivesTheOriginalBack) {
  ASSERT_EQ(cli({"replace", movie, "1", bmp("a.bmp", 3)}).code, 0);
  ASSERT_EQ(cli({"replace", movie, "2", bmp("b.bmp", 4)}).code, 0);
  Result h = cli({"history", movie});
  EXPECT_EQ(h.code, 0);
  ASSERT_EQ(std::count(h.out.begin(), h.out.end(), '\n'), 2) << h.out;
  EXPECT_NE(h.out.find("  scene preview 2 (b.bmp)  done\n"), std::string::npos);
  EXPECT_LT(h.out.find("scene preview 2"), h.out.find("scene preview 1"));

  const Result one = cli({"undo", movie});
  EXPECT_EQ(one.code, 0);
  EXPECT_EQ(one.err, "Replace:Replacement of scene preview 2 undone.\n");
  EXPECT_EQ(one.out, "replacement of scene preview 2 (b.bmp) undone (journal step 2; redo with: orvane-cli redo " +
                         movie + ")\n");
  EXPECT_NE(cli({"history", movie}).out.find("scene preview 2 (b.bmp)  undone"), std::string::npos);
  EXPECT_EQ(cli({"undo", movie, "--all"}).code, 0);
  EXPECT_EQ(testing::readFile(movie), original);  // the damaged prefix included
  EXPECT_EQ(cli({"undo", movie}).code, 1);        // nothing left to undo
  EXPECT_EQ(cli({"undo", movie, "--all"}).code, 0);
  EXPECT_EQ(cli({"undo", movie, "--every"}).code, 2);
  EXPECT_EQ(cli({"history", dir.file("nope.3mm")}).code, 1);
}

TEST_F(CliTest, ExportAllNamesFilesAfterTheMovieAndUsesTheChosenPalette) {
  std::string palette;
  for (int e = 0; e < 256; ++e) palette += "e," + std::to_string(e) + ",1,2\n";
  testing::writeFile(dir.file("my.palette"), Bytes(palette.begin(), palette.end()));
  const Result r = cli({"export", "--palette", dir.file("my.palette"), movie, "--all", dir.file("out")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("Extract:Exported 2 of 2 previews to"), std::string::npos);
  EXPECT_EQ(r.out, dir.file("out") + "/Scene-001.bmp\n" + dir.file("out") + "/Scene-002.bmp\n");
  const Bytes first = testing::readFile(dir.file("out/Scene-001.bmp"));
  // The colour table holds the 151 colours a picture may use, no more.
  ASSERT_EQ(first.size(), 14u + 40 + 4 * 151 + 81 * 144);
  EXPECT_EQ(bmp::readLe32(first, bmp::kColoursUsed), 151u);
  EXPECT_EQ(first[54 + 4 * 150 + 2], 150);  // colour table entry 150: blue, green, red
  EXPECT_EQ(first[54 + 4 * 150 + 0], 2);
  EXPECT_TRUE(std::filesystem::exists(dir.file("out/Scene-002.bmp")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("out/Scene-003.bmp")));

  EXPECT_EQ(cli({"export", "--palette", dir.file("missing.palette"), movie, "1", dir.file("x.bmp")}).code, 1);
}

// Usage mistakes: exit 2, nothing on standard output, one line saying what is
// wrong and pointing to the right --help.
void expectUsageError(const std::vector<std::string>& args, const std::string& helpFor) {
  const Result r = cli(args);
  EXPECT_EQ(r.code, 2) << args.size();
  EXPECT_EQ(r.out, "");
  ASSERT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(r.err.rfind("orvane-cli: ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(" (see '" + helpFor + " --help')\n"), std::string::npos) << r.err;
}

TEST_F(CliTest, ArgumentsFollowTheUsualConventions) {
  for (const char* command : {"scan", "replace", "export"}) {
    const Result help = cli({command, "--help"});  // help, not a movie named "--help"
    EXPECT_EQ(help.code, 0) << command;
    EXPECT_EQ(help.err, "");
    EXPECT_NE(help.out.find(std::string("Usage: orvane-cli ") + command), std::string::npos) << help.out;
    EXPECT_EQ(cli({"help", command}).out, help.out);
  }
  EXPECT_NE(cli({"scan", "--help"}).out.find("--json"), std::string::npos);
  EXPECT_EQ(cli({"-V"}).out, "orvane-cli 0.9\n");

  // After "--" everything is a file name, even what looks like an option.
  const Result dashed = cli({"scan", "--", "--json"});
  EXPECT_EQ(dashed.code, 1);
  EXPECT_NE(dashed.err.find("orvane-cli: scan: --json: cannot open the movie"), std::string::npos);

  const Result joined = cli({"export", "--palette=" + dir.file("missing.palette"), movie, "1", dir.file("x.bmp")});
  EXPECT_EQ(joined.code, 1);  // the option's value was taken from after the "="
  EXPECT_NE(joined.err.find("missing.palette"), std::string::npos);

  expectUsageError({}, "orvane-cli");
  expectUsageError({"frobnicate", movie}, "orvane-cli");
  expectUsageError({"--palette", "p", "scan", movie}, "orvane-cli scan");  // --palette is export's
  expectUsageError({"scan"}, "orvane-cli scan");
  expectUsageError({"scan", movie, "extra"}, "orvane-cli scan");
  expectUsageError({"scan", "--jsn", movie}, "orvane-cli scan");
  expectUsageError({"replace", movie, "x", "a.bmp"}, "orvane-cli replace");
  expectUsageError({"export", movie, "1"}, "orvane-cli export");
  expectUsageError({"export", movie, "1", "x.bmp", "--all", dir.file("out")}, "orvane-cli export");
  expectUsageError({"export", movie, "--all", "-"}, "orvane-cli export");
}

TEST_F(CliTest, ScanSummaryQuietAndJson) {
  Result r = cli({"scan", "-q", movie});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "2 previews found\n");
  r = cli({"scan", "--json", "-q", movie});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  // Preview 2 has one row whose prefix the scan repaired.
  EXPECT_EQ(r.out,
            "[\n"
            "  {\"number\": 1, \"position\": 101, \"rows_repaired\": 0},\n"
            "  {\"number\": 2, \"position\": " +
                std::to_string(101 + record::kRecordBytes + 50) +
                ", \"rows_repaired\": 1}\n"
                "]\n");

  Bytes one = testing::filler(10, 2);
  testing::put(one, 10, testing::makeRecord(5));
  testing::writeFile(dir.file("one.3mm"), one);
  EXPECT_EQ(cli({"scan", "--quiet", dir.file("one.3mm")}).out, "1 preview found\n");
  testing::writeFile(dir.file("none.3mm"), testing::filler(100, 3));
  r = cli({"scan", "-q", dir.file("none.3mm")});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "0 previews found\n");
  EXPECT_EQ(r.err,
            "orvane-cli: scan: " + dir.file("none.3mm") + ": no scene previews found; is this a Mevrik movie?\n");
  EXPECT_EQ(cli({"scan", "--json", dir.file("none.3mm")}).out, "[]\n");
}

TEST_F(CliTest, EveryRefusalSaysWhyOnStandardError) {
  const auto refused = [](const Result& r) {
    return r.code == 1 && (r.err.rfind("orvane-cli: ", 0) == 0 || r.err.find("\norvane-cli: ") != std::string::npos);
  };
  const std::string png = dir.file("photo.png");
  testing::writeFile(png, Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
  Result r = cli({"replace", movie, "1", png});
  EXPECT_TRUE(refused(r)) << r.err;
  EXPECT_NE(r.err.find("photo.png"), std::string::npos);
  r = cli({"replace", movie, "1", dir.file("nope.bmp")});
  EXPECT_TRUE(refused(r)) << r.err;
  EXPECT_NE(r.err.find("nope.bmp"), std::string::npos);
  r = cli({"export", movie, "1", dir.file("no/such/dir/x.bmp")});
  EXPECT_TRUE(refused(r)) << r.err;
  EXPECT_NE(r.err.find("x.bmp"), std::string::npos);
  EXPECT_TRUE(refused(cli({"export", movie, "3", dir.file("x.bmp")})));
  EXPECT_EQ(testing::readFile(movie), original);
}

TEST_F(CliTest, ExportToStandardOutputWritesOnlyTheBmp) {
  ASSERT_EQ(cli({"export", movie, "2", dir.file("two.bmp")}).code, 0);
  const Result r = cli({"export", "-q", movie, "2", "-"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  const Bytes file = testing::readFile(dir.file("two.bmp"));
  EXPECT_EQ(r.out, std::string(file.begin(), file.end()));
  EXPECT_FALSE(std::filesystem::exists("-"));
}

// An output name that links somewhere (here: to the movie itself, or nowhere)
// is refused before anything is written, --force or not.
TEST_F(CliTest, ExportNeverWritesThroughLinksNorOverTheMovie) {
  const std::string out = dir.file("out");
  std::filesystem::create_directory(out);
  std::filesystem::create_symlink(movie, out + "/Scene-002.bmp");
  Result r = cli({"export", "--all", out, "--force", movie});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Scene-002.bmp"), std::string::npos);
  EXPECT_NE(r.err.find("symbolic link"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(out + "/Scene-001.bmp"));
  EXPECT_EQ(testing::readFile(movie), original);

  std::filesystem::create_symlink(dir.file("elsewhere.bmp"), dir.file("dangling.bmp"));
  EXPECT_EQ(cli({"export", movie, "1", dir.file("dangling.bmp")}).code, 1);
  EXPECT_EQ(cli({"export", "--force", movie, "1", dir.file("dangling.bmp")}).code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("elsewhere.bmp")));

  r = cli({"export", "--force", movie, "1", movie});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("the movie"), std::string::npos);
  EXPECT_EQ(testing::readFile(movie), original);
}

TEST_F(CliTest, ConvertWritesWhatReplaceAcceptsAndImportIsConvertThenReplace) {
  QImage photo(400, 300, QImage::Format_RGB32);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) photo.setPixel(x, y, qRgb(x * 255 / 399, y * 255 / 299, 128));
  const std::string picture = dir.file("photo.png");
  ASSERT_TRUE(photo.save(QString::fromStdString(picture)));

  const Result converted = cli({"convert", "--fit", "pad", picture, dir.file("photo.bmp")});
  ASSERT_EQ(converted.code, 0) << converted.err;
  EXPECT_EQ(converted.out, dir.file("photo.bmp") + "\n");
  EXPECT_EQ(converted.err, "Import:Importing " + picture +
                               "...\n"
                               "Import:400 x 300 picture, fitted inside 144 x 81 with bars of entry 0, "
                               "Floyd-Steinberg dithering\n");
  const auto rows = readBmp(dir.file("photo.bmp"));  // the strict loader
  ASSERT_TRUE(rows.ok()) << rows.error().message;
  const Bytes bmpFile = testing::readFile(dir.file("photo.bmp"));
  EXPECT_EQ(bmp::readLe32(bmpFile, bmp::kColoursUsed), 151u);
  const Rgb& entry37 = defaultPalette()[37];  // the build's palette is the shipped one
  EXPECT_EQ(bmpFile[54 + 4 * 37 + 2], entry37.r);
  EXPECT_EQ(bmpFile[54 + 4 * 37 + 1], entry37.g);
  for (std::uint8_t index : rows->index) ASSERT_LE(index, 150);
  EXPECT_EQ(rows->at(0, 80), 0);                                        // a bar: the bottom row
  EXPECT_EQ(cli({"convert", picture, dir.file("photo.bmp")}).code, 1);  // exists: refused

  const std::string copy = dir.file("Copy.3mm");
  testing::writeFile(copy, original);
  ASSERT_EQ(cli({"replace", movie, "2", dir.file("photo.bmp")}).code, 0);
  const Result imported = cli({"import", "--fit", "pad", copy, "2", picture});
  ASSERT_EQ(imported.code, 0) << imported.err;
  EXPECT_NE(imported.err.find("Import:400 x 300 picture"), std::string::npos);
  EXPECT_NE(imported.err.find("Replace:Scene replaced."), std::string::npos);
  EXPECT_EQ(imported.out,
            "scene preview 2 (photo.png) replaced (journal step 1; undo with: orvane-cli undo " + copy + ")\n");
  EXPECT_EQ(testing::readFile(copy), testing::readFile(movie));

  // A refused picture changes nothing.
  const Result refused = cli({"import", copy, "1", dir.file("photo.bmp.missing")});
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("Import:Cannot import " + dir.file("photo.bmp.missing") + ": "), std::string::npos);
  // The road hands the reason back, and it is said where the log may be off.
  EXPECT_NE(refused.err.find("orvane-cli: import: " + dir.file("photo.bmp.missing") + ": cannot import it: "),
            std::string::npos);
  EXPECT_EQ(testing::readFile(copy), testing::readFile(movie));
}

TEST_F(CliTest, ReplaceAllPutsAnExportedFolderBackAsOneStep) {
  const std::string out = dir.file("out");
  ASSERT_EQ(cli({"export", movie, "--all", out}).code, 0);
  Result r = cli({"replace", movie, "--all", out});  // nothing retouched: nothing written
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("Replace:Nothing to replace.\nReplace:0 replaced, 2 unchanged, 0 refused, 0 ignored.\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "");  // no step was made
  EXPECT_FALSE(std::filesystem::exists(movie + ".orvane-journal"));

  // Both retouched, and a stray file: one step, one line of history, one undo.
  bmp("out/Scene-001.bmp", 7);
  bmp("out/Scene-002.bmp", 8);
  testing::writeFile(dir.file("out/readme.txt"), Bytes{'x'});
  r = cli({"replace", movie, "--all", out});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err.find("orvane-cli:"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "scene previews 1 and 2 (folder " + out + ") replaced (journal step 1; undo with: orvane-cli undo " +
                       movie + ")\n");
  EXPECT_NE(r.err.find("Replace:Ignored readme.txt: not named Scene-NNN.bmp.\n"
                       "Replace:Replaced scene previews 1 and 2.\n"
                       "Replace:2 replaced, 0 unchanged, 0 refused, 1 ignored.\n"),
            std::string::npos)
      << r.err;
  const Result h = cli({"history", movie});
  EXPECT_EQ(std::count(h.out.begin(), h.out.end(), '\n'), 1) << h.out;
  EXPECT_NE(h.out.find("  scene previews 1 and 2 (folder " + out + ")  done\n"), std::string::npos) << h.out;
  EXPECT_EQ(cli({"undo", movie}).err, "Replace:Replacement of scene previews 1 and 2 undone.\n");
  EXPECT_EQ(testing::readFile(movie), original);

  // A refused file is told, and the other still goes in.
  Bytes broken = testing::readFile(dir.file("out/Scene-001.bmp"));
  broken[0] = 'b';
  testing::writeFile(dir.file("out/Scene-001.bmp"), broken);
  r = cli({"replace", movie, "--all", out});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("\norvane-cli: replace: " + out + ": 1 of 2 files refused (the Replace lines say why)\n"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("Replace:Refused Scene-001.bmp: it is not a 144 x 81, 8-bit, uncompressed, bottom-up BMP.\n"),
            std::string::npos)
      << r.err;
  const std::size_t second = 100 + record::kRecordBytes + 50;
  EXPECT_EQ(testing::readFile(movie)[second + 2], testing::seededPixel(0, 0, 8));

  // import --all takes pictures of any format, each converted.
  std::filesystem::create_directory(dir.file("photos"));
  QImage photo(288, 162, QImage::Format_RGB32);
  photo.fill(qRgb(250, 250, 250));
  ASSERT_TRUE(photo.save(QString::fromStdString(dir.file("photos/Scene-001.png"))));
  r = cli({"import", movie, "--all", dir.file("photos")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("Replace:1 replaced, 0 unchanged, 0 refused, 0 ignored.\n"), std::string::npos) << r.err;

  expectUsageError({"replace", movie, "1", "--all", out}, "orvane-cli replace");
  expectUsageError({"replace", movie}, "orvane-cli replace");
  expectUsageError({"import", movie, "1", "x.png", "--all", out}, "orvane-cli import");
  r = cli({"replace", movie, "--all", dir.file("no-such-folder")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("orvane-cli: replace: " + dir.file("no-such-folder") + ": cannot read the folder"),
            std::string::npos)
      << r.err;
  r = cli({"replace", movie, "--all", dir.file("photos")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(
      r.err.find("\norvane-cli: replace: " + dir.file("photos") + ": no file in the folder is named Scene-NNN.bmp\n"),
      std::string::npos)
      << r.err;
}

TEST_F(CliTest, PaletteWritesTheFirst151EntriesAsAGimpPalette) {
  const std::string gpl = dir.file("mevrik.gpl");
  ASSERT_EQ(cli({"palette", "--gpl", gpl}).code, 0);
  const Bytes bytes = testing::readFile(gpl);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.rfind("GIMP Palette\nName: Mevrik scene previews\nColumns: 16\n#\n  0   0   0\tEntry 0\n", 0), 0u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4 + 151);
  EXPECT_NE(text.find("255 255 255\tEntry 15\n"), std::string::npos);
  EXPECT_NE(text.find("\tEntry 150\n"), std::string::npos);

  EXPECT_EQ(cli({"palette", "--gpl", gpl}).code, 1);  // exists: refused without --force
  EXPECT_EQ(cli({"palette"}).code, 2);

  // Any palette a paint program wrote, as Orvane's own file: its colours, the rest the built-in ones.
  const std::string jasc = dir.file("studio.pal"), own = dir.file("studio.palette");
  testing::writeFile(jasc, [] {
    const std::string text = "JASC-PAL\r\n0100\r\n2\r\n10 20 30\r\n250 240 230\r\n";
    return Bytes(text.begin(), text.end());
  }());
  ASSERT_EQ(cli({"palette", "--from", jasc, "--out", own}).code, 0);
  const PaletteParse back = readPaletteFile(own);
  ASSERT_TRUE(back.status) << back.status.error().message;
  EXPECT_EQ(back.entriesRead, 256);
  EXPECT_EQ(back.table[1].r, 250);
  EXPECT_EQ(back.table[0].b, 30);
  EXPECT_EQ(back.table[200].g, defaultPalette()[200].g);
  const Result gplFromIt = cli({"palette", "--from", own, "--gpl", "-"});
  EXPECT_NE(gplFromIt.out.find(" 10  20  30\tEntry 0\n"), std::string::npos) << gplFromIt.out;
  testing::writeFile(jasc, Bytes{'J', 'A', 'S', 'C', '-', 'P', 'A', 'L', '\n', '0', '1', '0', '0', '\n', 'x'});
  EXPECT_EQ(cli({"palette", "--from", jasc, "--out", own, "--force"}).code, 1);  // damaged: refused
  EXPECT_EQ(cli({"palette", "--from", jasc, "--palette", own, "--gpl", "-"}).code, 2);
  EXPECT_EQ(cli({"convert", "--fit", "fill", "a.png", "b.bmp"}).code, 2);
  EXPECT_EQ(cli({"import", movie, "x", "a.png"}).code, 2);
}

TEST_F(CliTest, ConvertAndImportTakeACropAndRefuseOneOutsideThePictureAsWrongUsage) {
  QImage photo(400, 300, QImage::Format_RGB32);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) photo.setPixel(x, y, qRgb(x * 255 / 399, (x * y) % 256, y * 255 / 299));
  const std::string picture = dir.file("photo.png"), part = dir.file("part.png");
  ASSERT_TRUE(photo.save(QString::fromStdString(picture)));
  ASSERT_TRUE(photo.copy(50, 40, 320, 180).save(QString::fromStdString(part)));

  const Result cropped = cli({"convert", "--crop", "50,40,320,180", picture, dir.file("cropped.bmp")});
  ASSERT_EQ(cropped.code, 0) << cropped.err;
  EXPECT_EQ(cropped.err, "Import:Importing " + picture +
                             "...\n"
                             "Import:400 x 300 picture, crop 320 x 180 at 50,40, cropped to fill 144 x 81, "
                             "Floyd-Steinberg dithering\n");
  ASSERT_EQ(cli({"convert", part, dir.file("part.bmp")}).code, 0);
  EXPECT_EQ(testing::readFile(dir.file("cropped.bmp")), testing::readFile(dir.file("part.bmp")));

  // The focus moves the cut: a 400 x 225 window kept at the top.
  const Result focused = cli({"convert", "--focus", "200,0", picture, dir.file("top.bmp")});
  ASSERT_EQ(focused.code, 0) << focused.err;
  EXPECT_NE(focused.err.find("cropped to fill 144 x 81 around 200,0,"), std::string::npos);
  ASSERT_EQ(cli({"convert", "--crop", "0,0,400,225", picture, dir.file("top2.bmp")}).code, 0);
  EXPECT_EQ(testing::readFile(dir.file("top.bmp")), testing::readFile(dir.file("top2.bmp")));

  for (const char* malformed : {"1,2,3", "1,2,3,0", "-1,0,10,10", "1,2,3,4,", "a,b,c,d"}) {
    const Result r = cli({"convert", "--crop", malformed, picture, dir.file("x.bmp")});
    EXPECT_EQ(r.code, 2) << malformed;
    EXPECT_NE(r.err.find("expected X,Y,W,H"), std::string::npos) << r.err;
  }
  EXPECT_EQ(cli({"convert", "--focus", "1,2,3", picture, dir.file("x.bmp")}).code, 2);
  const Result outside = cli({"convert", "-q", "--crop", "100,100,320,240", picture, dir.file("x.bmp")});
  EXPECT_EQ(outside.code, 2);
  EXPECT_EQ(outside.err,
            "orvane-cli: convert: the crop 320 x 240 at 100,100 does not lie inside the 400 x 300 "
            "picture (see 'orvane-cli convert --help')\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.bmp")));

  const std::string copy = dir.file("Copy.3mm");
  testing::writeFile(copy, original);
  const Result imported = cli({"import", "-q", "--focus", "0,299", copy, "2", picture});
  EXPECT_EQ(imported.code, 0) << imported.err;
  const Result refused = cli({"import", "-q", "--focus", "0,300", copy, "1", picture});
  EXPECT_EQ(refused.code, 2);
  EXPECT_EQ(refused.err,
            "orvane-cli: import: the focus 0,300 is outside the 400 x 300 picture "
            "(see 'orvane-cli import --help')\n");
}

// Standard output that refuses every byte, as a full disk does.
struct FullBuffer : std::streambuf {
  int overflow(int) override {
    errno = ENOSPC;
    return traits_type::eof();
  }
  std::streamsize xsputn(const char*, std::streamsize) override {
    errno = ENOSPC;
    return 0;
  }
};

Result cliToFullDisk(std::vector<std::string> args) {
  args.insert(args.begin(), "orvane-cli");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  FullBuffer full;
  std::ostream out(&full);
  std::ostringstream err;
  const int code = cli::run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, "", err.str()};
}

// Every command keeps one contract: help exits 0; a usage mistake is one line,
// exit 2; results on standard output, the log on standard error and none of
// it with -q; results that cannot be written are a failure.
TEST_F(CliTest, EveryCommandKeepsTheOutputContract) {
  const std::string picture = bmp("pic.bmp", 3);
  struct Case {
    std::vector<std::string> args;
    bool logs;  // writes activity-log lines when not quiet
  };
  // In this order: undo needs replacements, redo needs undos. Each command
  // runs three times, and a replacement with the picture already there
  // records nothing, so each scene gets a second picture for the three undos.
  const std::vector<Case> cases = {
      {{"scan", movie}, true},
      {{"replace", movie, "1", picture}, true},
      {{"import", movie, "2", picture}, true},
      {{"replace", movie, "1", bmp("pic5.bmp", 5)}, true},
      {{"replace", movie, "2", bmp("pic7.bmp", 7)}, true},
      {{"convert", "--force", picture, dir.file("c.bmp")}, true},
      {{"export", "--force", movie, "1", dir.file("e.bmp")}, true},
      {{"palette", "--force", "--gpl", dir.file("p.gpl")}, false},
      {{"history", movie}, false},
      {{"undo", movie}, true},
      {{"redo", movie}, true},
  };
  for (const Case& c : cases) {
    const std::string& name = c.args.front();
    const Result help = cli({name, "--help"});
    EXPECT_EQ(help.code, 0) << name;
    EXPECT_NE(help.out.find("-q,--quiet"), std::string::npos) << name;
    expectUsageError({name, "--bogus"}, "orvane-cli " + name);

    const Result loud = cli(c.args);
    EXPECT_EQ(loud.code, 0) << name << ": " << loud.err;
    EXPECT_NE(loud.out, "") << name;
    EXPECT_EQ(loud.err.find("orvane-cli:"), std::string::npos) << name << ": " << loud.err;
    EXPECT_EQ(loud.err.empty(), !c.logs) << name << ": " << loud.err;

    std::vector<std::string> quiet = c.args;
    quiet.insert(quiet.begin() + 1, "-q");
    const Result q = cli(quiet);
    EXPECT_EQ(q.code, 0) << name << ": " << q.err;
    EXPECT_EQ(q.err, "") << name;
    EXPECT_EQ(cli({"-q", name, "--help"}).code, 0) << name;  // also before the command

    const Result full = cliToFullDisk(quiet);
    EXPECT_EQ(full.code, 1) << name;
    EXPECT_EQ(full.err, "orvane-cli: cannot write output: " + std::string(std::strerror(ENOSPC)) + "\n") << name;
  }
}

TEST_F(CliTest, DashIsStandardOutputAndInput) {
  // Text output may go to a terminal; a BMP is refused there before anything is done.
  const Result gpl = cli({"palette", "--gpl", "-"});
  EXPECT_EQ(gpl.code, 0);
  EXPECT_EQ(gpl.out.rfind("GIMP Palette\n", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists("-"));

  const std::string picture = bmp("pic.bmp", 5);
  const Result bmpOut = cli({"convert", "-q", picture, "-"});
  EXPECT_EQ(bmpOut.code, 0) << bmpOut.err;
  EXPECT_EQ(bmpOut.out.substr(0, 2), "BM");

  const std::vector<std::string> args = {"orvane-cli", "export", movie, "1", "-"};
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  cli::Console terminal;
  terminal.outIsTerminal = true;
  EXPECT_EQ(cli::run(static_cast<int>(argv.size()), argv.data(), out, err, terminal), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "orvane-cli: export: -: will not write a BMP to a terminal (redirect standard output to a "
            "file or a pipe: > scene.bmp)\n");

  // A picture from standard input goes in as from its file; a terminal or nothing is refused.
  const auto fromInput = [&](const std::string& bytes, bool inIsTerminal) {
    const std::vector<std::string> a = {"orvane-cli", "replace", "-q", movie, "2", "-"};
    std::vector<const char*> v;
    for (const auto& x : a) v.push_back(x.c_str());
    std::istringstream in(bytes);
    std::ostringstream o, e;
    const int code = cli::run(static_cast<int>(v.size()), v.data(), o, e, {&in, inIsTerminal, false});
    return Result{code, o.str(), e.str()};
  };
  const Bytes file = testing::readFile(picture);
  Result r = fromInput(std::string(file.begin(), file.end()), false);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(testing::readFile(movie)[100 + record::kRecordBytes + 50 + 2], testing::seededPixel(0, 0, 5));
  r = fromInput("", false);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "orvane-cli: replace: -: standard input is empty; no picture came\n");
  r = fromInput("BM", true);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("will not read a picture from a terminal"), std::string::npos);
}

TEST_F(CliTest, HistoryJsonAndRedoFollowTheWindowsUndoAndRedo) {
  ASSERT_EQ(cli({"replace", movie, "1", bmp("a.bmp", 3)}).code, 0);
  ASSERT_EQ(cli({"replace", movie, "2", bmp("b.bmp", 4)}).code, 0);
  const Bytes replaced = testing::readFile(movie);
  ASSERT_EQ(cli({"undo", movie}).code, 0);

  Result h = cli({"history", "--json", "-q", movie});
  EXPECT_EQ(h.code, 0);
  const auto second = h.out.find("{\"step\": 2, \"time\": ");
  const auto first = h.out.find("{\"step\": 1, \"time\": ");
  ASSERT_NE(second, std::string::npos) << h.out;
  ASSERT_LT(second, first) << h.out;  // newest first
  EXPECT_NE(h.out.find("\"previews\": [2], \"state\": \"undone\", \"label\": \"b.bmp\", \"undo_next\": false, "
                       "\"redo_next\": true}"),
            std::string::npos)
      << h.out;
  EXPECT_NE(h.out.find("\"previews\": [1], \"state\": \"done\", \"label\": \"a.bmp\", \"undo_next\": true, "
                       "\"redo_next\": false}\n]\n"),
            std::string::npos)
      << h.out;
  EXPECT_EQ(cli::jsonString("a \"b\"\\\n"), "\"a \\\"b\\\"\\\\\\u000a\"");

  const Result redo = cli({"redo", movie});
  EXPECT_EQ(redo.code, 0) << redo.err;
  EXPECT_EQ(redo.out,
            "scene preview 2 (b.bmp) replaced again (journal step 2; undo with: orvane-cli undo " + movie + ")\n");
  EXPECT_EQ(testing::readFile(movie), replaced);
  const Result none = cli({"redo", movie});
  EXPECT_EQ(none.code, 1);
  EXPECT_EQ(none.err, "orvane-cli: redo: " + movie + ": There is nothing to redo in this movie.\n");
  ASSERT_EQ(cli({"undo", "--all", movie}).code, 0);
  EXPECT_EQ(cli({"redo", "--all", "-q", movie}).out,
            "scene preview 1 (a.bmp) replaced again (journal step 1; undo with: orvane-cli undo " + movie +
                ")\n"
                "scene preview 2 (b.bmp) replaced again (journal step 2; undo with: orvane-cli undo " +
                movie + ")\n");
  EXPECT_EQ(testing::readFile(movie), replaced);

  EXPECT_EQ(cli::shellWord("my movie's.3mm"), "'my movie'\\''s.3mm'");
  EXPECT_EQ(cli::shellWord("/a/b-1.3mm"), "/a/b-1.3mm");
}

}  // namespace
}  // namespace orvane
