#include "Glyphpack.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CraftedArchive.h"
#include "FakeReportPlatform.h"
#include "support/Archive.h"
#include "tests/common/FileBytes.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

using glyph::test::ReadAll;
using glyph::test::WriteAll;

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result Pack(std::vector<std::string> args) {
  args.insert(args.begin(), "glyphpack");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int status = glyphpack::Run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

class GlyphpackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path("glyphpack_work");
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "in");
    std::mt19937 rng(3);
    std::string random(40000, '\0');
    for (char& c : random) c = static_cast<char>(rng());
    std::string text;
    for (int i = 0; i < 400; ++i)
      text += "[BUTTONINFO]\r\nQaS = 10, 20, 30, 40 ; " + std::to_string(i) + "\r\n";
    files_ = {
        {"skin.ini", text}, {"random.bin", random}, {"empty", ""}, {"run.bmp", std::string(100000, 'B')}};
    for (const auto& [name, bytes] : files_) WriteAll(dir_ / "in" / name, bytes);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string In(const std::string& name) const { return (dir_ / "in" / name).string(); }
  std::string At(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
  std::vector<std::pair<std::string, std::string>> files_;
};

TEST_F(GlyphpackTest, UsageAndErrors) {
  EXPECT_EQ(Pack({}).status, 2);
  const Result help = Pack({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: glyphpack"), std::string::npos);
  const Result unknown = Pack({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command"), std::string::npos);
  EXPECT_EQ(Pack({"list"}).status, 2);
  EXPECT_EQ(Pack({"add", At("a.pak"), "-m", "zip", In("empty")}).status, 2);
  const Result missing = Pack({"list", At("nothing.pak")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
  const Result notArchive = Pack({"verify", In("skin.ini")});
  EXPECT_EQ(notArchive.status, 1);
  EXPECT_NE(notArchive.err.find("not an archive"), std::string::npos);
  EXPECT_EQ(Pack({"add", At("a.pak"), In("no such file")}).status, 1);
  EXPECT_FALSE(fs::exists(At("a.pak"))) << "a failed add leaves nothing behind";
}

TEST_F(GlyphpackTest, RoundTripThroughEveryCommand) {
  const std::string pak = At("skin.pak");
  ASSERT_EQ(Pack({"add", pak, "-m", "block", In("skin.ini") + "=Skin\\skin.ini"}).status, 0);
  ASSERT_EQ(
      Pack({"add", pak, "-m", "window", In("run.bmp") + "=Skin\\run.bmp", In("empty") + "=empty"}).status, 0);
  ASSERT_EQ(Pack({"add", pak, "-m", "plain", "-u", In("random.bin") + "=random.bin"}).status, 0);

  const Result list = Pack({"list", pak});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("block "), std::string::npos);
  EXPECT_NE(list.out.find("window "), std::string::npos);
  EXPECT_NE(list.out.find("plain "), std::string::npos);
  EXPECT_NE(list.out.find("random.bin  [u]"), std::string::npos);
  EXPECT_NE(list.out.find("4 entries"), std::string::npos) << list.out;

  EXPECT_EQ(Pack({"verify", pak}).status, 0);
  const size_t before = ReadAll(pak).size();
  ASSERT_EQ(Pack({"remove", pak, "random.bin"}).status, 0);
  EXPECT_EQ(Pack({"remove", pak, "random.bin"}).status, 1);
  ASSERT_EQ(Pack({"compact", pak}).status, 0);
  EXPECT_LT(ReadAll(pak).size() + 39000, before);
  EXPECT_EQ(Pack({"verify", pak}).status, 0);

  ASSERT_EQ(Pack({"extract", pak, "-o", At("out")}).status, 0);
  EXPECT_EQ(ReadAll(dir_ / "out" / "Skin" / "skin.ini"), files_[0].second);
  EXPECT_EQ(ReadAll(dir_ / "out" / "Skin" / "run.bmp"), files_[3].second);
  EXPECT_TRUE(fs::exists(dir_ / "out" / "empty"));
  EXPECT_EQ(fs::file_size(dir_ / "out" / "empty"), 0u);
  EXPECT_FALSE(fs::exists(dir_ / "out" / "random.bin"));
  EXPECT_EQ(Pack({"extract", pak, "-o", At("out"), "random.bin"}).status, 1);
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().string().find("glyphpack~"), std::string::npos) << "no copy left behind";
  }

  // Appended to another file, the archive reads the same.
  WriteAll(At("host.exe"), "MZ pretend program");
  ASSERT_EQ(Pack({"append", At("host.exe"), pak}).status, 0);
  const std::string host = ReadAll(At("host.exe"));
  EXPECT_EQ(host.substr(0, 18), "MZ pretend program");
  support::TResourceArchive archive;
  ASSERT_TRUE(archive.Open(At("host.exe").c_str(), false));
  EXPECT_EQ(archive.DataStart(), 18u);
  size_t size = 0;
  char* data = archive.ReadFile("Skin\\skin.ini", true, &size);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::string(data, size), files_[0].second);
  std::free(data);
  EXPECT_FALSE(archive.Failed());
}

std::string ThisProgram() {
#ifdef _WIN32
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
#else
  return fs::read_symlink("/proc/self/exe").string();
#endif
}

TEST_F(GlyphpackTest, AnExecutableCarryingAnArchiveStillRuns) {
  const std::string pak = At("skin.pak");
  ASSERT_EQ(Pack({"add", pak, "-m", "block", In("skin.ini") + "=Skin\\skin.ini"}).status, 0);
  const fs::path carrier = dir_ / ("carrier" + fs::path(ThisProgram()).extension().string());
  fs::copy_file(ThisProgram(), carrier);
  const uintmax_t programSize = fs::file_size(carrier);
  ASSERT_EQ(Pack({"append", carrier.string(), pak}).status, 0);
  ASSERT_EQ(Pack({"add", carrier.string(), "-m", "window", In("run.bmp") + "=Skin\\run.bmp"}).status, 0);
  EXPECT_EQ(Pack({"verify", carrier.string()}).status, 0);
  EXPECT_GT(fs::file_size(carrier), programSize);
  // The copy is this test program: it runs and lists its tests.
  const std::string command = carrier.string() + " --gtest_list_tests > " + At("listed.txt");
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_NE(ReadAll(At("listed.txt")).find("AnExecutableCarryingAnArchiveStillRuns"), std::string::npos);
}

TEST_F(GlyphpackTest, AddsToAnExistingFileAndRefusesUnsafeNames) {
  WriteAll(At("prog.exe"), "MZ program bytes");
  ASSERT_EQ(Pack({"add", At("prog.exe"), In("skin.ini") + "=..\\escape.ini", In("empty") + "=/abs"}).status,
            0);
  EXPECT_EQ(ReadAll(At("prog.exe")).substr(0, 16), "MZ program bytes");
  const Result extract = Pack({"extract", At("prog.exe"), "-o", At("out")});
  EXPECT_EQ(extract.status, 1);
  EXPECT_NE(extract.err.find("leaves the output folder"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "escape.ini"));
}

// A damaged directory or entry is a message naming the archive (and the
// entry) and status 1, never the compressor's fatal report.
TEST_F(GlyphpackTest, DamagedArchivesAreNamedInTheMessage) {
  using support::test::CraftedEntry;
  const std::vector<CraftedEntry> entries = {{"skin.ini", files_[0].second, true}};
  std::vector<CraftedEntry> shortEntry = entries;
  shortEntry[0].sizeError = -1;
  WriteAll(At("short-list.pak"), support::test::CraftedVersion5(entries, -1));
  WriteAll(At("short-entry.pak"), support::test::CraftedVersion5(shortEntry));
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"list", At("short-list.pak")},
       At("short-list.pak") + ": not an archive, or its directory is damaged"},
      {{"extract", At("short-list.pak"), "-o", At("out")},
       At("short-list.pak") + ": not an archive, or its directory is damaged"},
      {{"extract", At("short-entry.pak"), "-o", At("out")},
       At("short-entry.pak") + ": entry skin.ini is damaged (cannot unpack)"},
      {{"verify", At("short-entry.pak")}, At("short-entry.pak") + ": 1 of 1 entries damaged"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    Result result{};
    EXPECT_EQ(support::test::FatalReportOf([&] { result = Pack(c.args); }), "(no report)");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("glyphpack: " + c.message + "\n"), std::string::npos) << result.err;
  }
  EXPECT_FALSE(fs::exists(dir_ / "out" / "skin.ini"));
}

TEST_F(GlyphpackTest, RawStreamsRoundTrip) {
  for (const auto& [name, bytes] : files_) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Pack({"compress", In(name), At(name + ".res")}).status, 0);
    EXPECT_EQ(ReadAll(At(name + ".res")).substr(0, 4), "ResJ");
    ASSERT_EQ(Pack({"decompress", At(name + ".res"), At(name + ".out")}).status, 0);
    EXPECT_EQ(ReadAll(At(name + ".out")), bytes);
  }
  const Result notStream = Pack({"decompress", In("skin.ini"), At("x")});
  EXPECT_EQ(notStream.status, 1);
  EXPECT_NE(notStream.err.find("not a compressed stream"), std::string::npos);
}

}  // namespace
