// A program that carries the default skin as an archive after its last
// section (this test program, packed by glyph_append_skin): it still runs,
// and its skin loads from its own file with no Skin folder in sight.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "SkinTestUtil.h"
#include "skin/SkinDialog.h"
#include "skin/SkinSources.h"
#include "tests/common/GuiTest.h"

namespace glyph::skin {
namespace {

std::string OwnFile() {
  char path[1024] = {};
  ::GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

// Runs the test from an empty folder, so only the archive can answer.
class EmptyFolder {
 public:
  EmptyFolder() {
    char old[1024] = {};
    ::GetCurrentDirectoryA(sizeof old, old);
    old_ = old;
    dir_ = old_ + "\\archive_only";
    ::CreateDirectoryA(dir_.c_str(), nullptr);
    ::SetCurrentDirectoryA(dir_.c_str());
  }
  ~EmptyFolder() { ::SetCurrentDirectoryA(old_.c_str()); }

 private:
  std::string old_, dir_;
};

TEST(SkinArchive, EntriesComeFromTheProgramFile) {
  EmptyFolder folder;
  ASSERT_EQ(::GetFileAttributesA("Skin"), INVALID_FILE_ATTRIBUTES);
  std::unique_ptr<SkinArchive> archive = OpenSkinArchive(OwnFile());
  const char* names[] = {"Skin\\down.jpg", "Skin\\horslider.bmp", "Skin\\horslider_over.bmp",
                         "Skin\\main.jpg", "Skin\\mask.bmp",      "Skin\\over.jpg",
                         "Skin\\skin.ini"};
  for (const char* name : names) {
    std::optional<std::string> bytes = archive->ReadFile(name);
    ASSERT_TRUE(bytes) << name;
    std::string file = name;
    file.replace(0, 5, "..\\Skin\\");  // the copy beside the test program
    EXPECT_EQ(*bytes, test::ReadFileBytes(file)) << name;
  }
  EXPECT_FALSE(archive->ReadFile("skin\\skin.ini"));  // names are case-sensitive
  EXPECT_FALSE(archive->ReadFile("Skin\\missing.bmp"));
  // A name the archive does not hold is read from the disk.
  EXPECT_EQ(archive->ReadFile("..\\Skin\\mask.bmp").value_or(""), test::ReadFileBytes("..\\Skin\\mask.bmp"));
  EXPECT_FALSE(test::ReadFileBytes("..\\Skin\\mask.bmp").empty());
}

TEST(SkinArchive, TheDialogLoadsItsSkinFromItsOwnFile) {
  EmptyFolder folder;
  class Dlg : public CSkinDialog {
   public:
    Dlg() : CSkinDialog(102) {}
    ~Dlg() override { DestroyWindow(); }

   protected:
    std::string ReadProfileString(const char*, const char*) override { return {}; }
  } dlg;
  test::RecordingPrompt prompt(dlg.Context());
  dlg.SetSkinSource("Skin\\skin.ini", nullptr);
  ASSERT_TRUE(dlg.CreateModeless(nullptr));
  glyph::test::PumpFor(20);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(dlg.Buttons().size(), 28u);
  EXPECT_EQ(dlg.Trackbars().size(), 2u);
  EXPECT_EQ(dlg.Texts().size(), 3u);
  RECT rc;
  ::GetClientRect(dlg.GetHwnd(), &rc);
  EXPECT_EQ(rc.right, 480);
  EXPECT_EQ(rc.bottom, 408);
  UniqueRegion rgn(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(dlg.GetHwnd(), rgn.Get()), COMPLEXREGION);
}

}  // namespace
}  // namespace glyph::skin
