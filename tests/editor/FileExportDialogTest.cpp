// The real save dialog, driven from inside while it runs.
#include "editor/FileExportDialog.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/ResourceIds.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

const wchar_t kTypes[] = L"True-color icon (*.ico)|16 colors icon (*.ico)|True-color bitmap (*.bmp)|";

std::wstring FieldText(HWND dialog) {
  wchar_t typedName[300] = {};
  ::SendMessageW(dialog, CDM_GETSPEC, 300, reinterpret_cast<LPARAM>(typedName));
  return typedName;
}

void SetField(HWND dialog, const std::wstring& text) {
  ::SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(text.c_str()));
}

// Chooses a type in the type box as a user would.
void ChooseType(HWND dialog, int index) {
  HWND combo = ::GetDlgItem(dialog, cmb1);
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

// A control of the dialog's own part, a child of one of its children.
HWND OptionControl(HWND dialog, int id) {
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    if (HWND control = ::GetDlgItem(child, id)) return control;
  return nullptr;
}

void PressSave(HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

class FileExportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    ::GetCurrentDirectoryW(MAX_PATH, saved_);
    dir_ = std::wstring(temp) + L"glyph_export_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(dir_.c_str(), nullptr);
    ::SetCurrentDirectoryW(dir_.c_str());
  }
  void TearDown() override {
    ::SetCurrentDirectoryW(saved_);
    ::RemoveDirectoryW(dir_.c_str());
  }
  wchar_t saved_[MAX_PATH] = {};
  std::wstring dir_;
};

TEST_F(FileExportDialogTest, TypeChangeRewritesTheNameAndTheFormat) {
  CFileExportDialog dialog(L"Save icon", kTypes, L"new.ico");
  // Without a folder of its own the dialog opens in the last one used.
  dialog.SetInitialFolder(dir_);
  EXPECT_EQ(dialog.GetFormatIndex(), 1);
  std::wstring seenTitle, initial, afterBitmap, afterIcon16;
  dialog.SetShownCallback([&](HWND d) {
    wchar_t title[64] = {};
    ::GetWindowTextW(d, title, 64);
    seenTitle = title;
    initial = FieldText(d);
    ChooseType(d, 2);
    afterBitmap = FieldText(d);
    ChooseType(d, 1);
    afterIcon16 = FieldText(d);
    ChooseType(d, 2);
    PressSave(d);
  });
  ASSERT_TRUE(dialog.DoModal(nullptr));
  EXPECT_EQ(seenTitle, L"Save icon");
  EXPECT_EQ(initial, L"new.ico");
  EXPECT_EQ(afterBitmap, L"new.bmp");
  EXPECT_EQ(afterIcon16, L"new.ico");
  EXPECT_EQ(dialog.GetFormatIndex(), 3);
  EXPECT_EQ(dialog.GetFileName(), L"new.bmp");
  EXPECT_EQ(dialog.GetPathName(), dir_ + L"\\new.bmp");
}

TEST_F(FileExportDialogTest, NameWithSeveralDotsLosesEverythingAfterTheFirst) {
  CFileExportDialog dialog(L"Save icon", kTypes, L"a.b.ico");
  EXPECT_EQ(dialog.GetFormatIndex(), 1);
  std::wstring renamed;
  dialog.SetShownCallback([&](HWND d) {
    ChooseType(d, 2);
    renamed = FieldText(d);
    ::PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_FALSE(dialog.DoModal(nullptr));
  EXPECT_EQ(renamed, L"a.bmp");
}

TEST_F(FileExportDialogTest, BitmapNamePreselectsTheBitmapType) {
  CFileExportDialog dialog(L"Save icon", kTypes, L"pic.BMP");
  EXPECT_EQ(dialog.GetFormatIndex(), 3);
  int shownType = -1;
  dialog.SetShownCallback([&](HWND d) {
    shownType = static_cast<int>(::SendMessageW(::GetDlgItem(d, cmb1), CB_GETCURSEL, 0, 0));
    PressSave(d);
  });
  ASSERT_TRUE(dialog.DoModal(nullptr));
  EXPECT_EQ(shownType, 2);
  EXPECT_EQ(dialog.GetFormatIndex(), 3);
}

// What the user types comes back whole: names outside the code page, a
// bare name with the chosen type's extension (the overwrite prompt asked
// about that full name), and the folder the dialog was opened in.
TEST_F(FileExportDialogTest, TypedNamesComeBackWholeWithTheirExtension) {
  const std::wstring sub = dir_ + L"\\sub";
  ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
  const std::wstring existing = sub + L"\\mine.ico";
  { UniqueFile f(::CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)); }
  const struct {
    const wchar_t* typed;
    int type;               // 0-based in the type box, -1: as shown
    const wchar_t* folder;  // null: the test's folder
    std::wstring path;
    bool prompted;
  } cases[] = {
      {L"sixteen", 1, nullptr, dir_ + L"\\sixteen.ico", false},
      {L"picture", 2, nullptr, dir_ + L"\\picture.bmp", false},
      {L"\x0438\x043A\x043E\x043D\x043A\x0430.ico", 0, nullptr,
       dir_ + L"\\\x0438\x043A\x043E\x043D\x043A\x0430.ico", false},
      {L"\x56FE\x6807\x0032", 0, nullptr, dir_ + L"\\\x56FE\x6807\x0032.ico", false},
      {L"a.txt", 0, nullptr, dir_ + L"\\a.txt", false},  // the user's own extension
      {L"mine", -1, sub.c_str(), existing, true},
  };
  for (const auto& c : cases) {
    CFileExportDialog dialog(L"Save icon", kTypes, L"mine");
    dialog.SetInitialFolder(c.folder ? c.folder : dir_);
    std::optional<test::AutoAnswer> yes;
    dialog.SetShownCallback([&](HWND d) {
      if (c.type >= 0) ChooseType(d, c.type);
      SetField(d, c.typed);
      yes.emplace(IDYES);  // the overwrite prompt, if any
      PressSave(d);
    });
    ASSERT_TRUE(dialog.DoModal(nullptr)) << c.path;
    EXPECT_EQ(dialog.GetPathName(), c.path);
    EXPECT_EQ(yes->Count() > 0, c.prompted) << c.path;
  }
  ::DeleteFileW(existing.c_str());
  EXPECT_TRUE(::RemoveDirectoryW(sub.c_str()));  // not left as the current folder
}

class RecordingSink final : public MessageSink {
 public:
  std::vector<std::wstring> shown;
  void Show(HWND, const std::wstring& text) override { shown.push_back(text); }
  int Ask(HWND, const std::wstring&) override { return IDCANCEL; }
};

// A path longer than the platform dialog can take (Wine's overruns a
// MAX_PATH buffer of its own and ends the process) is stopped with a
// message; the dialog stays up and takes a shorter name.
TEST_F(FileExportDialogTest, APathTooLongForTheDialogIsRefusedWithAMessage) {
  const std::wstring longForm = L"\\\\?\\";
  std::wstring folder = dir_;
  std::vector<std::wstring> made;
  for (wchar_t c : {L'a', L'b', L'c'}) {
    folder += L"\\" + std::wstring(120, c);
    ASSERT_TRUE(::CreateDirectoryW((longForm + folder).c_str(), nullptr));
    made.push_back(folder);
  }
  RecordingSink sink;
  CFileExportDialog dialog(L"Save icon", kTypes, L"new.ico");
  dialog.SetInitialFolder(dir_);
  dialog.SetMessageSink(&sink);
  bool upAfterRefusal = false;
  dialog.SetShownCallback([&](HWND d) {
    for (const std::wstring& typed : {folder + L"\\long", std::wstring(300, L'n')}) {
      SetField(d, typed);
      ::SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    upAfterRefusal = ::IsWindow(d) && ::IsWindowVisible(d);
    SetField(d, L"short");
    PressSave(d);
  });
  const bool chosen = dialog.DoModal(nullptr);
  for (auto it = made.rbegin(); it != made.rend(); ++it) ::RemoveDirectoryW((longForm + *it).c_str());
  ASSERT_TRUE(chosen);
  EXPECT_TRUE(upAfterRefusal);
  ASSERT_EQ(sink.shown.size(), 2u);
  EXPECT_NE(sink.shown[0].find(L"too long"), std::wstring::npos);
  EXPECT_EQ(dialog.GetPathName(), dir_ + L"\\short.ico");
}

// The options of a whole icon show only while its type is chosen, start at
// 32 bits and PNG from 256, and come back as the user set them.
TEST_F(FileExportDialogTest, IconOptionsShowWithTheirTypeAndComeBack) {
  CFileExportDialog dialog(L"Save icon", std::wstring(kTypes) + L"Icon with all sizes (*.ico)|", L"new.ico");
  dialog.SetIconOptionsFormat(4);
  dialog.SetInitialFolder(dir_);
  std::vector<bool> shown;
  LRESULT bitsAtFirst = -1, pngAtFirst = -1;
  dialog.SetShownCallback([&](HWND d) {
    HWND bits = OptionControl(d, IDC_ICON_BITS);
    HWND png = OptionControl(d, IDC_PNG_FROM);
    for (const int type : {0, 3, 1, 3}) {
      if (type != 0) ChooseType(d, type);
      shown.push_back(bits && png && ::IsWindowVisible(bits) && ::IsWindowVisible(png));
    }
    bitsAtFirst = ::SendMessageW(bits, CB_GETCURSEL, 0, 0);
    pngAtFirst = ::SendMessageW(png, CB_GETCURSEL, 0, 0);
    ::SendMessageW(bits, CB_SETCURSEL, 2, 0);
    ::SendMessageW(png, CB_SETCURSEL, 5, 0);
    PressSave(d);
  });
  ASSERT_TRUE(dialog.DoModal(nullptr));
  EXPECT_EQ(shown, (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(bitsAtFirst, 1);  // after "As they are"
  EXPECT_EQ(pngAtFirst, 1);
  EXPECT_EQ(dialog.GetIconBits(), 8);
  EXPECT_EQ(dialog.GetPngFrom(), 0);
}

}  // namespace
}  // namespace glyph
