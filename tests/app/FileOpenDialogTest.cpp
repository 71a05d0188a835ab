// The real open dialog, driven from inside while it runs.
#include "app/FileOpenDialog.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <dlgs.h>

#include <string>
#include <vector>

#include "framework/Handles.h"

namespace glyph {
namespace {

std::wstring Text(HWND control) {
  wchar_t text[300] = {};
  ::GetWindowTextW(control, text, 300);
  return text;
}

class FileOpenDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"glyph_open_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(dir_.c_str(), nullptr);
    for (const std::wstring& name : kFiles) {
      UniqueFile f(
          ::CreateFileW((dir_ + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    }
  }
  void TearDown() override {
    for (const std::wstring& name : kFiles) ::DeleteFileW((dir_ + L"\\" + name).c_str());
    ::RemoveDirectoryW(dir_.c_str());
  }
  const std::vector<std::wstring> kFiles = {L"one.ico", L"\x0438\x043A\x043E\x043D\x043A\x0430.png"};
  std::wstring dir_;
};

// The dialog asks as it should, opens where it is told, and gives back the
// chosen file's whole path, or nothing when cancelled.
TEST_F(FileOpenDialogTest, ShowsTheTypesInTheFolderAndReturnsTheChosenPath) {
  const struct {
    const wchar_t* typed;  // null: cancel
    std::wstring path;
  } cases[] = {
      {L"one.ico", dir_ + L"\\one.ico"},
      {L"\x0438\x043A\x043E\x043D\x043A\x0430.png", dir_ + L"\\\x0438\x043A\x043E\x043D\x043A\x0430.png"},
      {nullptr, L""},
  };
  for (const auto& c : cases) {
    FileOpenDialog dialog;
    std::wstring title, folder;
    std::vector<std::wstring> types;
    dialog.SetShownCallback([&](HWND d) {
      title = Text(d);
      wchar_t path[MAX_PATH] = {};
      ::SendMessageW(d, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
      folder = path;
      HWND combo = ::GetDlgItem(d, cmb1);
      for (LRESULT i = 0, n = ::SendMessageW(combo, CB_GETCOUNT, 0, 0); i < n; ++i) {
        wchar_t type[100] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(type));
        types.push_back(type);
      }
      if (c.typed) ::SendMessageW(d, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(c.typed));
      ::PostMessageW(d, WM_COMMAND, MAKEWPARAM(c.typed ? IDOK : IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(dialog.Run(nullptr, dir_), c.path);
    EXPECT_EQ(title, L"Open icon");
    EXPECT_EQ(folder, dir_);
    const std::vector<std::wstring> expected = {L"Icons and pictures (*.ico;*.png;*.bmp;*.exe;*.dll)",
                                                L"Icons (*.ico)",
                                                L"PNG pictures (*.png)",
                                                L"Bitmaps (*.bmp)",
                                                L"Programs and libraries (*.exe;*.dll)",
                                                L"All files (*.*)"};
    EXPECT_EQ(types, expected);
  }
}

class RecordingSink final : public MessageSink {
 public:
  std::vector<std::wstring> shown;
  void Show(HWND, const std::wstring& text) override { shown.push_back(text); }
  int Ask(HWND, const std::wstring&) override { return IDCANCEL; }
};

// A path longer than the platform dialog can take (Wine's overruns a
// MAX_PATH buffer of its own and ends the process) is stopped with a
// message; the dialog stays up and takes a shorter one.
TEST_F(FileOpenDialogTest, APathTooLongForTheDialogIsRefusedWithAMessage) {
  RecordingSink sink;
  FileOpenDialog dialog;
  dialog.SetMessageSink(&sink);
  bool upAfterRefusal = false;
  dialog.SetShownCallback([&](HWND d) {
    const std::wstring typed(300, L'n');
    ::SendMessageW(d, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(typed.c_str()));
    ::SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    upAfterRefusal = ::IsWindow(d) && ::IsWindowVisible(d);
    ::SendMessageW(d, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(L"one.ico"));
    ::PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(dialog.Run(nullptr, dir_), dir_ + L"\\one.ico");
  EXPECT_TRUE(upAfterRefusal);
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_NE(sink.shown[0].find(L"too long"), std::wstring::npos);
}

}  // namespace
}  // namespace glyph
