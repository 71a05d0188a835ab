// The real save dialog, driven from inside while it runs.
#include "editor/FileExportDialog.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <string>

#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

const char kTypes[] = "True-color icon (*.ico)|16 colors icon (*.ico)|True-color bitmap (*.bmp)|";

std::string FieldText(HWND dialog) {
  char typedName[300] = {};
  CommDlg_OpenSave_GetSpec(dialog, typedName, sizeof typedName);
  return typedName;
}

// Chooses a type in the type box as a user would.
void ChooseType(HWND dialog, int index) {
  HWND combo = ::GetDlgItem(dialog, cmb1);
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

class FileExportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    ::GetCurrentDirectoryA(MAX_PATH, saved_);
    dir_ = std::string(temp) + "glyph_export_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(dir_.c_str(), nullptr);
    ::SetCurrentDirectoryA(dir_.c_str());
  }
  void TearDown() override {
    ::SetCurrentDirectoryA(saved_);
    ::RemoveDirectoryA(dir_.c_str());
  }
  char saved_[MAX_PATH] = {};
  std::string dir_;
};

TEST_F(FileExportDialogTest, TypeChangeRewritesTheNameAndTheFormat) {
  CFileExportDialog dialog("Save icon", kTypes, "new.ico");
  EXPECT_EQ(dialog.GetFormatIndex(), 1);
  std::string seenTitle, initial, afterBitmap, afterIcon16;
  dialog.SetShownCallback([&](HWND d) {
    char title[64] = {};
    ::GetWindowTextA(d, title, sizeof title);
    seenTitle = title;
    initial = FieldText(d);
    ChooseType(d, 2);
    afterBitmap = FieldText(d);
    ChooseType(d, 1);
    afterIcon16 = FieldText(d);
    ChooseType(d, 2);
    ::PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  ASSERT_TRUE(dialog.DoModal(nullptr));
  EXPECT_EQ(seenTitle, "Save icon");
  EXPECT_EQ(initial, "new.ico");
  EXPECT_EQ(afterBitmap, "new.bmp");
  EXPECT_EQ(afterIcon16, "new.ico");
  EXPECT_EQ(dialog.GetFormatIndex(), 3);
  EXPECT_EQ(dialog.GetFileName(), "new.bmp");
  EXPECT_EQ(dialog.GetPathName(), dir_ + "\\new.bmp");
}

TEST_F(FileExportDialogTest, NameWithSeveralDotsLosesEverythingAfterTheFirst) {
  CFileExportDialog dialog("Save icon", kTypes, "a.b.ico");
  EXPECT_EQ(dialog.GetFormatIndex(), 1);
  std::string renamed;
  dialog.SetShownCallback([&](HWND d) {
    ChooseType(d, 2);
    renamed = FieldText(d);
    ::PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_FALSE(dialog.DoModal(nullptr));
  EXPECT_EQ(renamed, "a.bmp");
}

TEST_F(FileExportDialogTest, BitmapNamePreselectsTheBitmapType) {
  CFileExportDialog dialog("Save icon", kTypes, "pic.BMP");
  EXPECT_EQ(dialog.GetFormatIndex(), 3);
  int shownType = -1;
  dialog.SetShownCallback([&](HWND d) {
    shownType = static_cast<int>(::SendMessageA(::GetDlgItem(d, cmb1), CB_GETCURSEL, 0, 0));
    ::PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  ASSERT_TRUE(dialog.DoModal(nullptr));
  EXPECT_EQ(shownType, 2);
  EXPECT_EQ(dialog.GetFormatIndex(), 3);
}

}  // namespace
}  // namespace glyph
