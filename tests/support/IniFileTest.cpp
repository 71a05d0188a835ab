#include "support/IniFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/FileProvider.h"
#include "tests/common/FileBytes.h"

namespace support {
namespace {

struct Lookup {
  const char* section;
  const char* key;
  const char* expected;  // null: the default comes back
};

void ExpectLookups(TIniFile& ini, std::initializer_list<Lookup> lookups) {
  static const char kDefault[] = "<default>";
  for (const Lookup& l : lookups) {
    SCOPED_TRACE(std::string(l.section) + "/" + l.key);
    const char* got = ini.GetString(l.section, l.key, kDefault);
    if (l.expected) {
      EXPECT_STREQ(got, l.expected);
    } else {
      EXPECT_EQ(got, kDefault) << "got " << got;
    }
  }
}

TEST(IniFileTest, NormalisesLinesAndFindsKeys) {
  TIniFile ini;
  ASSERT_TRUE(
      ini.ParseBuffer("orphan=1\r\n"
                      "[Main]\r\n"
                      "  \t key one \t=  \t value with  blanks \t \r\n"
                      "=empty key\r\n"
                      ";Commented=1\r\n"
                      "Caps=upper\r\n"
                      "caps=lower\r\n"
                      "\r\n"
                      "[Trail] ; comment\r\n"
                      "hidden=1\r\n"
                      "[Other]\r\n"
                      "a=1\r\n"
                      "[inner\r\n"
                      "b=2\r\n"
                      "[Main]\r\n"
                      "second=2\r\n"
                      "Caps=later\r\n"
                      "[Last]"));
  EXPECT_STREQ(ini.GetLine(2), "key one=value with  blanks");
  ExpectLookups(ini, {
                         {"Main", "key one", "value with  blanks"},
                         {"Main", "", "empty key"},
                         {"Main", "Commented", nullptr},
                         {"Main", ";Commented", "1"},
                         {"Main", "Caps", "upper"},
                         {"Main", "caps", "lower"},
                         {"main", "Caps", nullptr},
                         {"Main", "second", "2"},  // found in the second occurrence
                         {"Main", "orphan", nullptr},
                         {"Trail", "hidden", nullptr},  // "[Trail] ; comment" is no header
                         {"Other", "a", "1"},
                         {"Other", "b", nullptr},  // "[inner" ends the section
                         {"Last", "x", nullptr},
                         {"Missing", "a", nullptr},
                     });
  EXPECT_EQ(ini.FindKey("Main", nullptr), 1);
  EXPECT_EQ(ini.FindKey("Main", "Caps"), 5);
  EXPECT_EQ(ini.FindKey("Main", "second"), -1) << "FindKey looks in the first occurrence only";
  EXPECT_EQ(ini.FindKey("Last", nullptr), ini.LineCount() - 1);
  EXPECT_EQ(ini.FindKey("Last", "x"), -1);
  EXPECT_EQ(ini.GetLine(ini.LineCount()), nullptr);
  EXPECT_EQ(ini.GetLine(-1), nullptr);
}

// Whatever the length of a line, most of all around the split at kMaxLine.
TEST(IniFileTest, CrLfAndLfReadAlike) {
  const size_t limit = TIniFile::kMaxLine;
  for (size_t length : {size_t{0}, size_t{1}, limit - 2, limit - 1, limit, limit + 1, 2 * limit - 1,
                        2 * limit, 2 * limit + 1}) {
    SCOPED_TRACE(length);
    const std::string key = "k" + std::string(length ? length - 1 : 0, 'v');
    const std::string lf = "[S]\n" + key.substr(0, length) + "\n x=1 2 \n\nlast";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    TIniFile a, b;
    a.ParseBuffer(lf.c_str());
    b.ParseBuffer(crlf.c_str());
    ASSERT_EQ(a.LineCount(), b.LineCount());
    for (int32_t i = 0; i < a.LineCount(); ++i) EXPECT_STREQ(a.GetLine(i), b.GetLine(i)) << "line " << i;
    EXPECT_STREQ(b.GetString("S", "x", ""), "1 2");
  }
}

TEST(IniFileTest, LongLinesAreSplit) {
  TIniFile ini;
  const std::string line300(300, 'a');
  const std::string line249(249, 'b');
  ini.ParseBuffer((line300 + "\n" + line249 + "\nend").c_str());
  ASSERT_EQ(ini.LineCount(), 4);
  EXPECT_EQ(std::strlen(ini.GetLine(0)), 249u);
  EXPECT_EQ(std::strlen(ini.GetLine(1)), 51u);
  EXPECT_EQ(std::strlen(ini.GetLine(2)), 249u) << "exactly 249 bytes and its line feed make one line";
  EXPECT_STREQ(ini.GetLine(3), "end");
}

TEST(IniFileTest, DefinesStoreTheFirstToken) {
  TIniFile ini;
  ini.ParseBuffer(
      "[Colors]\n"
      "#define Back 10 20 30\n"
      "  #define Name\r\n"
      "#define\n"
      "#include \"nowhere.ini\"\n"
      "after=1\n");
  EXPECT_STREQ(ini.GetString("Colors", "Back", ""), "10");
  EXPECT_STREQ(ini.GetString("Colors", "Name", "x"), "");
  EXPECT_EQ(ini.LineCount(), 5) << "without a provider an include stores nothing";
  EXPECT_STREQ(ini.GetLine(3), "=");
  EXPECT_STREQ(ini.GetString("Colors", "after", ""), "1");
}

class MapProvider final : public TFileProvider {
 public:
  char* ReadFile(const char* name, int a, int b, int c) override {
    EXPECT_EQ(a | b | c, 0);
    asked.emplace_back(name);
    const auto it = files.find(name);
    if (it == files.end()) return nullptr;
    char* text = static_cast<char*>(std::malloc(it->second.size() + 1));
    std::memcpy(text, it->second.c_str(), it->second.size() + 1);
    return text;
  }
  std::map<std::string, std::string> files;
  std::vector<std::string> asked;
};

class ProviderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    provider_ = new MapProvider;
    theFileProvider = provider_;
  }
  void TearDown() override {
    theFileProvider = nullptr;
    provider_->Release();
  }
  MapProvider* provider_ = nullptr;
};

TEST_F(ProviderTest, IncludesStandInPlaceOfTheDirective) {
  provider_->files["colors.ini"] = "b=2\n#include inner name.ini  \r\nc=3";
  provider_->files["inner name.ini  "] = "inner=1\n";
  provider_->files["self.ini"] = "s=1\n#include self.ini\n";
  TIniFile ini;
  ini.ParseBuffer("[S]\na=1\n  #include \"colors.ini\" ignored\nd=4\n#include self.ini\n");
  const std::vector<std::string> expected = {"[S]", "a=1", "b=2", "inner=1", "c=3", "d=4"};
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_STREQ(ini.GetLine(static_cast<int32_t>(i)), expected[i].c_str());
  EXPECT_EQ(ini.LineCount(), static_cast<int32_t>(expected.size() + TIniFile::kMaxIncludeDepth))
      << "a file that includes itself stops at the depth limit";
  EXPECT_EQ(provider_->asked.front(), "colors.ini");
}

TEST_F(ProviderTest, IncludesAreBoundedInNumber) {
  provider_->files["twice.ini"] = "x=1\n#include twice.ini\n#include twice.ini\n";
  TIniFile ini;
  ini.ParseBuffer("#include twice.ini\n");
  EXPECT_EQ(provider_->asked.size(), static_cast<size_t>(TIniFile::kMaxIncludes));
  EXPECT_EQ(ini.LineCount(), TIniFile::kMaxIncludes);
}

TEST_F(ProviderTest, ReloadReadsTheFileNameThroughTheProvider) {
  TIniFile ini;
  EXPECT_FALSE(ini.LoadFromFile("no such file.ini"));
  EXPECT_TRUE(ini.Failed());
  EXPECT_EQ(ini.FileName(), "no such file.ini");
  provider_->files["no such file.ini"] = "[S]\nk=v\n";
  EXPECT_TRUE(ini.Reload());
  EXPECT_FALSE(ini.Failed());
  EXPECT_STREQ(ini.GetString("S", "k", ""), "v");
  provider_->files.clear();
  EXPECT_FALSE(ini.Reload());
  EXPECT_EQ(ini.LineCount(), 0);
  EXPECT_STREQ(ini.GetString("S", "k", "gone"), "gone");
}

TEST(IniFileTest, ReloadWithoutProviderLeavesNoLines) {
  TIniFile ini;
  ini.ParseBuffer("[S]\nk=v\n");
  EXPECT_FALSE(ini.Reload());
  EXPECT_EQ(ini.LineCount(), 0);
  EXPECT_FALSE(ini.ParseBuffer("[S]\nk=v\n")) << "failed stays set until a load succeeds";
  EXPECT_STREQ(ini.GetString("S", "k", ""), "v") << "the text is parsed all the same";
}

TEST(IniFileTest, LoadsAndSavesFiles) {
  const char* name = "inifile_test.ini";
  glyph::test::WriteAll(name, "[Screen]\r\nWidth = 320\r\n\r\nHeight=240");
  TIniFile ini;
  ASSERT_TRUE(ini.LoadFromFile(name));
  EXPECT_FALSE(ini.Failed());
  EXPECT_EQ(ini.GetLong("Screen", "Width", 0), 320);
  EXPECT_EQ(ini.GetLong("Screen", "Height", 0), 240);

  ini.SaveToFile(name);
  const std::string saved = glyph::test::ReadAll(name);
#ifdef _WIN32
  EXPECT_EQ(saved, "[Screen]\r\nWidth=320\r\n\r\nHeight=240\r\n");
#else
  EXPECT_EQ(saved, "[Screen]\nWidth=320\n\nHeight=240\n");
#endif
  std::remove(name);
  ini.SaveToFile("no such folder/x.ini");  // reports nothing
  EXPECT_STREQ(ini.ClassName(), "TIniFile");
  EXPECT_EQ(ini.CastTo("TIniFile"), &ini);
  EXPECT_EQ(ini.CastTo("TObject"), &ini);
  EXPECT_EQ(ini.CastTo("TCollection"), nullptr);
}

TEST(IniFileTest, AFailedLoadLeavesNoLines) {
  const char* name = "inifile_failed_load.ini";
  glyph::test::WriteAll(name, "[S]\nk=v\n");
  TIniFile ini;
  ASSERT_TRUE(ini.LoadFromFile(name));
  std::remove(name);
  EXPECT_FALSE(ini.LoadFromFile(name));
  EXPECT_TRUE(ini.Failed());
  EXPECT_EQ(ini.LineCount(), 0);
  EXPECT_STREQ(ini.GetString("S", "k", "none"), "none");
  EXPECT_EQ(ini.FindKey("S", nullptr), -1);
  // A folder by that name is no file either (on Linux it opens, and its
  // length reads as 2^63).
  ASSERT_TRUE(std::filesystem::create_directory(name));
  EXPECT_FALSE(ini.LoadFromFile(name));
  EXPECT_EQ(ini.LineCount(), 0);
  std::filesystem::remove(name);
}

TEST(IniFileTest, EmptyReaderFindsNothing) {
  TIniFile ini;
  const char* def = "d";
  EXPECT_EQ(ini.GetString("S", "k", def), def);
  EXPECT_EQ(ini.FindKey("S", nullptr), -1);
  EXPECT_EQ(ini.GetLine(0), nullptr);
  EXPECT_EQ(ini.GetLong("S", "k", 7), 7);
  EXPECT_EQ(ini.GetStringList("S", "k", nullptr), nullptr);
}

class TypedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ini_.ParseBuffer(
        "[T]\n"
        "longs=1, 2,3\n"
        "hexoct=0x10 010\n"
        "eight=08\n"
        "doubles=1.5;-2e1 abc\n"
        "strings=a, b ,c\n"
        "quoted=\"x, y\", z\n"
        "tailblank=a, \n"
        "tailcomma=a,\n"
        "unclosed=\"abc\n"
        "empty=\n"
        "word=abc\n"
        "neg= -0x1F\n"
        "big=99999999999\n"
        "float=2.5e2x\n"
        "bare=.5\n"
        "yes=yes\n"
        "one=1\n"
        "two=2\n"
        "Yes=Yes\n"
        "TRUE=TRUE\n"
        "on=on\n"
        "enable=enable\n"
        "da=\xA4\xA0\n"
        "Da=\x84\xA0\n"
        "DA=\x84\x80\n");
  }
  TIniFile ini_;
};

TEST_F(TypedTest, Numbers) {
  struct Case {
    const char* key;
    int32_t longValue;
    double doubleValue;
  };
  const Case cases[] = {
      {"longs", 1, 1.0},     {"hexoct", 16, 0.0}, {"eight", 0, 8.0},
      {"word", 0, 0.0},      {"neg", -31, -0.0},  {"big", INT32_MAX, 99999999999.0},
      {"float", 2, 250.0},   {"bare", 0, 0.5},    {"empty", -5, -5.0},
      {"missing", -5, -5.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(ini_.GetLong("T", c.key, -5), c.longValue);
    EXPECT_EQ(ini_.GetDouble("T", c.key, -5.0), c.doubleValue);
  }
}

TEST_F(TypedTest, Lists) {
  EXPECT_EQ(*ini_.GetLongList("T", "longs", nullptr), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(*ini_.GetLongList("T", "hexoct", nullptr), (std::vector<int32_t>{16, 8}));
  EXPECT_EQ(*ini_.GetLongList("T", "eight", nullptr), (std::vector<int32_t>{0, 8}));
  EXPECT_EQ(*ini_.GetDoubleList("T", "doubles", nullptr), (std::vector<double>{1.5, -20.0}));
  EXPECT_EQ(*ini_.GetLongList("T", "empty", "4 5"), (std::vector<int32_t>{4, 5}));
  EXPECT_EQ(ini_.GetLongList("T", "empty", nullptr), nullptr);
  EXPECT_EQ(ini_.GetDoubleList("T", "missing", nullptr), nullptr);

  using Strings = std::vector<std::string>;
  EXPECT_EQ(*ini_.GetStringList("T", "strings", nullptr), (Strings{"a", "b ", "c"}));
  EXPECT_EQ(*ini_.GetStringList("T", "quoted", nullptr), (Strings{"x, y", "z"}));
  EXPECT_EQ(*ini_.GetStringList("T", "tailblank", nullptr), (Strings{"a"}))
      << "the stored line lost its blank";
  EXPECT_EQ(*ini_.GetStringList("T", "missing", "a, "), (Strings{"a", ""}));
  EXPECT_EQ(*ini_.GetStringList("T", "tailcomma", nullptr), (Strings{"a"}));
  EXPECT_EQ(*ini_.GetStringList("T", "unclosed", nullptr), (Strings{"abc"}));
  EXPECT_EQ(*ini_.GetStringList("T", "missing", "p q"), (Strings{"p", "q"}));
  EXPECT_EQ(*ini_.GetStringList("T", "missing", "\"a b\" c\nd"), (Strings{"a b", "c", "d"}));
}

TEST_F(TypedTest, Booleans) {
  for (const char* key : {"yes", "one", "on", "enable", "da", "Da", "DA"}) {
    EXPECT_TRUE(ini_.GetBool("T", key, false)) << key;
  }
  for (const char* key : {"two", "Yes", "TRUE", "word"}) EXPECT_FALSE(ini_.GetBool("T", key, true)) << key;
  EXPECT_TRUE(ini_.GetBool("T", "empty", true));
  EXPECT_FALSE(ini_.GetBool("T", "missing", false));
}

// The typed readers ask GetString through the virtual table.
class Overriding final : public TIniFile {
 public:
  const char* GetString(const char*, const char*, const char*) override { return "0x20, 7"; }
};

TEST(IniFileTest, TypedReadersGoThroughGetString) {
  Overriding ini;
  EXPECT_EQ(ini.GetLong("any", "key", 0), 32);
  EXPECT_EQ(*ini.GetLongList("any", "key", nullptr), (std::vector<int32_t>{32, 7}));
  EXPECT_FALSE(ini.GetBool("any", "key", true));
}

}  // namespace
}  // namespace support
