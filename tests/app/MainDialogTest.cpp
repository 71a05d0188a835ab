// The main window under Wine: the skin's commands by name, the sliders and
// their tooltips, the colour fields, saving real files, the pick
// notification, the keys and close request that must not close it, and
// the command line's icon, from good files and hostile ones.
#include "app/MainDialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include <cstdint>
#include <deque>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "editor/FileExportDialog.h"
#include "framework/ResourceIds.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

using test::PumpFor;
using test::PumpUntil;

constexpr ColorValue kSilver = RGB(192, 192, 192);

class TestMainDialog : public CMainDialog {
 public:
  explicit TestMainDialog(std::wstring commandLine = std::wstring()) : CMainDialog(std::move(commandLine)) {}
  ~TestMainDialog() override { DestroyWindow(); }

  bool Open() {
    if (!CreateModeless(nullptr)) return false;
    PumpFor(20);
    return true;
  }
  std::string Title() const {
    char text[128] = {};
    ::GetWindowTextA(GetHwnd(), text, sizeof text);
    return text;
  }
  bool Latched(const char* name) const {
    const skin::CSkinButton* b = FindButton(name);
    return b && b->IsLatched();
  }

  // Colour dialog answers: a colour for OK, or nothing for cancel.
  struct ColorAnswer {
    bool ok;
    ColorValue color;
  };
  std::deque<ColorAnswer> colorAnswers;
  std::vector<ColorValue> colorsShown;
  // Drives the real save dialog while it is up.
  std::function<void(HWND)> onSaveShown;
  std::string proposedName;
  std::vector<std::wstring> opened;
  int abouts = 0;
  // A message handled inside the modal loop.
  std::function<void()> onApp;

 protected:
  bool PickColor(ColorValue& color) override {
    colorsShown.push_back(color);
    if (colorAnswers.empty()) return false;
    const ColorAnswer a = colorAnswers.front();
    colorAnswers.pop_front();
    if (a.ok) color = a.color;
    return a.ok;
  }
  bool RunSaveDialog(CFileExportDialog& dialog) override {
    dialog.SetShownCallback([this](HWND d) {
      char typedName[MAX_PATH] = {};
      CommDlg_OpenSave_GetSpec(d, typedName, sizeof typedName);
      proposedName = typedName;
      if (onSaveShown) {
        onSaveShown(d);
      } else {
        ::PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    });
    return CMainDialog::RunSaveDialog(dialog);
  }
  void OpenDocument(const std::wstring& path) override { opened.push_back(path); }
  void ShowAbout() override { ++abouts; }

 public:
  // The icon browser's answer: false for cancel.
  bool chooseOk = false;
  std::wstring choosePath;
  int chooseIndex = 0;

 protected:
  bool ChooseIcon(std::wstring& path, int& index) override {
    path = choosePath;
    index = chooseIndex;
    return chooseOk;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_APP && onApp) {
      onApp();
      return 0;
    }
    return CMainDialog::WindowProc(msg, wp, lp);
  }
};

Pixel& At(CDib& image, int x, int y) { return image.View().At(x, y); }

// Every pixel of the image, as colour values.
bool ImageIs(CDib& image, const std::function<ColorValue(int, int)>& expected) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if ((At(image, x, y) & 0xFFFFFF) != PixelFromColor(expected(x, y) & 0xFFFFFF)) {
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << (At(image, x, y) & 0xFFFFFF);
        return false;
      }
  return true;
}

// A 32 x 32 24-bpp icon file: red on the left, blue top right, transparent
// bottom right.
ColorValue SampleColor(int x, int y) {
  if (x < 16) return RGB(255, 0, 0);
  if (y < 16) return RGB(0, 0, 255);
  return kSilver;  // what the transparent part leaves of the silver image
}
std::string SampleIcon() {
  std::string f;
  auto put16 = [&](uint16_t v) { f.append({static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}); };
  auto put32 = [&](uint32_t v) {
    put16(static_cast<uint16_t>(v & 0xFFFF));
    put16(static_cast<uint16_t>(v >> 16));
  };
  const uint32_t colour = 32 * 32 * 3, mask = 32 * 4, bytes = 40 + colour + mask;
  put16(0), put16(1), put16(1);
  f.append({32, 32, 0, 0}), put16(1), put16(24), put32(bytes), put32(22);
  put32(40), put32(32), put32(64), put16(1), put16(24);
  for (int i = 0; i < 6; ++i) put32(0);
  for (int y = 31; y >= 0; --y)
    for (int x = 0; x < 32; ++x) {
      const bool clear = x >= 16 && y >= 16;
      const ColorValue c = clear ? 0 : SampleColor(x, y);
      f.append({static_cast<char>(GetBValue(c)), static_cast<char>(GetGValue(c)),
                static_cast<char>(GetRValue(c))});
    }
  for (int y = 31; y >= 0; --y) {
    const char m = static_cast<char>(y >= 16 ? 0xFF : 0);  // x 16..31 of the lower half
    f.append({0, 0, m, m});
  }
  return f;
}

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"glyph_main_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const auto& f : files_) ::DeleteFileW(f.c_str());
    ::RemoveDirectoryW(dir_.c_str());
  }
  std::wstring Write(const std::wstring& name, const std::string& bytes) {
    const std::wstring path = dir_ + L"\\" + name;
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    files_.push_back(path);
    return path;
  }
  std::string NarrowDir() const { return std::string(dir_.begin(), dir_.end()); }
  std::wstring dir_;
  std::vector<std::wstring> files_;
};

TEST_F(MainDialogTest, StartsWithASilverImagePenAndTitle) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  EXPECT_EQ(dlg.Title(), "Glyphsmith v1.0.0");
  EXPECT_EQ(dlg.GetToolName(), "TOOL_PEN");
  EXPECT_TRUE(dlg.Latched("TOOL_PEN"));
  EXPECT_EQ(dlg.GetCanvas().GetTool(), TOOL_PEN);
  EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return kSilver; }));
  // The skin's window: mask size, and the template's four controls kept.
  RECT r;
  ::GetWindowRect(dlg.GetHwnd(), &r);
  EXPECT_EQ(r.right - r.left, 400);
  EXPECT_EQ(r.bottom - r.top, 408);
  // The four controls sit in the skin's frames, placed with the template
  // font's standard base units whatever font the platform substituted.
  struct Placement {
    int id;
    RECT rect;
  };
  for (const Placement& p :
       {Placement{IDC_CANVAS, {99, 41, 387, 328}}, Placement{IDC_PREVIEW, {12, 356, 86, 395}},
        Placement{IDC_BRUSH_WELL, {204, 351, 287, 395}}, Placement{IDC_TRANSP_WELL, {305, 351, 386, 395}}}) {
    ASSERT_NE(dlg.GetItem(p.id), nullptr);
    RECT c;
    ::GetWindowRect(dlg.GetItem(p.id), &c);
    ::MapWindowPoints(nullptr, dlg.GetHwnd(), reinterpret_cast<POINT*>(&c), 2);
    EXPECT_TRUE(::EqualRect(&c, &p.rect))
        << p.id << ": " << c.left << "," << c.top << " " << c.right << "," << c.bottom;
  }
  // Every button of the skin has its command, and only the camera is held.
  EXPECT_EQ(dlg.Buttons().size(), 19u);
  EXPECT_EQ(dlg.Buttons().size(), MainCommands().size());
  for (const auto& button : dlg.Buttons()) {
    const MainCommand* command = FindCommand(button->Name());
    ASSERT_NE(command, nullptr) << button->Name();
    EXPECT_EQ(button->PressAndRelease(), button->Name() == "TOOL_PHOTO") << button->Name();
  }
  // The wells show black and silver.
  EXPECT_EQ(test::CaptureClient(dlg.GetBrushWell().GetHwnd()).At(3, 3), 0x000000u);
  EXPECT_EQ(test::CaptureClient(dlg.GetTransparentWell().GetHwnd()).At(3, 3), 0xC0C0C0u);
  EXPECT_NE(::SendMessageA(dlg.GetHwnd(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(::SendMessageA(dlg.GetHwnd(), WM_QUERYDRAGICON, 0, 0), 0);
}

TEST_F(MainDialogTest, ToolButtonsSelectAndLatchOneTool) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  test::AutoAnswer cancel(IDCANCEL);  // the "Enter text" dialog of TOOL_TEXT
  for (int tool = 0; tool < kToolCount; ++tool) {
    const char* name = FindToolCommand(tool)->skinName;
    dlg.ButtonClicked(name);
    EXPECT_EQ(dlg.GetCanvas().GetTool(), tool) << name;
    EXPECT_EQ(dlg.GetToolName(), name);
    for (int other = 0; other < kToolCount; ++other)
      EXPECT_EQ(dlg.Latched(FindToolCommand(other)->skinName), other == tool) << name << " " << other;
  }
  // The text tool asked for its text once, and a cancel still chose it.
  EXPECT_GE(cancel.Count(), 1);
  // Names are exact and case-sensitive; unknown names do nothing.
  dlg.ButtonClicked("TOOL_LINE");
  for (const char* name : {"tool_pen", "TOOL_PEN ", "", "TOOL", "BUTTON_LOAD_X"}) dlg.ButtonClicked(name);
  EXPECT_EQ(dlg.GetCanvas().GetTool(), TOOL_LINE);
  EXPECT_TRUE(dlg.Latched("TOOL_LINE"));
  EXPECT_TRUE(::IsWindow(dlg.GetHwnd()));
}

TEST_F(MainDialogTest, TextToolHandsTheDialogsTextToTheCanvas) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  // A CBT hook would answer before the text is typed: type it from a
  // timer once the dialog is up, then press OK.
  struct Typer {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      HWND box = ::FindWindowA(nullptr, "Enter text");
      if (!box) return;
      ::KillTimer(nullptr, id);
      ::SetDlgItemTextA(box, 1010, "Hi");
      ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  };
  ::SetTimer(nullptr, 0, 20, &Typer::Tick);
  dlg.ButtonClicked("TOOL_TEXT");
  EXPECT_EQ(dlg.GetCanvas().GetText(), "Hi");
  EXPECT_EQ(dlg.GetCanvas().GetTool(), TOOL_TEXT);
}

TEST_F(MainDialogTest, ImageCommandsClearUndoBlurAndCamera) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  CBitmapView& canvas = dlg.GetCanvas();
  const int cw = canvas.GetCellWidth(), ch = canvas.GetCellHeight();
  ASSERT_GT(cw, 0);
  const LPARAM at = MAKELPARAM(3 * cw + cw / 2, 4 * ch + ch / 2);
  ::SendMessageA(canvas.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(canvas.GetHwnd(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(At(dlg.GetImage(), 3, 4) & 0xFFFFFF, 0u);
  dlg.ButtonClicked("TOOL_UNDO");
  EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return kSilver; }));

  // Blur mixes neighbours (the transparent colour stays out of it).
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) At(dlg.GetImage(), x, y) = (x + y) % 2 ? 0xFFFFFF : 0x000000;
  dlg.ButtonClicked("TOOL_BLUR_ALL");
  const Pixel blurred = At(dlg.GetImage(), 4, 4) & 0xFFFFFF;
  EXPECT_NE(blurred, 0x000000u);
  EXPECT_NE(blurred, 0xFFFFFFu);
  dlg.ButtonClicked("TOOL_CLEAR");
  EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return kSilver; }));
  EXPECT_EQ(dlg.Title(), "Glyphsmith v1.0.0");

  // The camera reports press and release: each toggles the capture.
  dlg.ButtonClicked("TOOL_PHOTO");
  EXPECT_TRUE(dlg.IsCapturing());
  EXPECT_TRUE(canvas.IsCapturing());
  dlg.ButtonClicked("TOOL_PHOTO");
  EXPECT_FALSE(dlg.IsCapturing());
  EXPECT_FALSE(canvas.IsCapturing());
}

TEST_F(MainDialogTest, SlidersSetOpacityAndSizeWithTheirTooltips) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  const struct {
    const char* name;
    int position;
    int opacity, size;
    const char* tip;
  } cases[] = {
      {"TRACKBAR_TRANSP", 128, 128, 1, "50 %"},    {"TRACKBAR_TRANSP", 255, 1, 1, "99 %"},
      {"TRACKBAR_TRANSP", 256, 0, 1, "100 %"},     {"TRACKBAR_TRANSP", 0, 256, 1, "0 %"},
      {"TRACKBAR_SIZE", 0, 256, 1, "1 pixel"},     {"TRACKBAR_SIZE", 4, 256, 5, "5 pixels"},
      {"TRACKBAR_SIZE", 13, 256, 14, "14 pixels"},
  };
  for (const auto& c : cases) {
    dlg.TrackbarNotify(c.name, 8, c.position);
    EXPECT_EQ(dlg.GetCanvas().GetOpacity(), c.opacity) << c.name << " " << c.position;
    EXPECT_EQ(dlg.GetCanvas().GetBrushSize(), c.size) << c.name << " " << c.position;
    char text[32] = {};
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = dlg.FindTrackbar(c.name)->GetHwnd();
    ti.uId = 1;
    ti.lpszText = text;
    ::SendMessageA(dlg.FindTrackbar(c.name)->GetTooltip(), TTM_GETTEXTA, sizeof text,
                   reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, c.tip);
  }
  // Only the end of a movement acts.
  dlg.TrackbarNotify("TRACKBAR_SIZE", TB_THUMBTRACK, 7);
  dlg.TrackbarNotify("TRACKBAR_TRANSP", TB_THUMBPOSITION, 7);
  EXPECT_EQ(dlg.GetCanvas().GetBrushSize(), 14);
  EXPECT_EQ(dlg.GetCanvas().GetOpacity(), 256);
}

TEST_F(MainDialogTest, ColourFieldsOpenTheColourDialog) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  CBitmapView& canvas = dlg.GetCanvas();
  dlg.colorAnswers = {{true, RGB(10, 200, 30)}, {true, RGB(0, 0, 255)}, {true, RGB(255, 255, 0)}};
  dlg.TextClicked("BRUSH_COLOR");
  dlg.TextClicked("TRANSP_COLOR");
  dlg.TextClicked("PREVIEW_COLOR");
  ASSERT_EQ(dlg.colorsShown.size(), 3u);
  EXPECT_EQ(dlg.colorsShown[0], RGB(0, 0, 0));
  EXPECT_EQ(dlg.colorsShown[1], kSilver);
  EXPECT_EQ(dlg.colorsShown[2], RGB(255, 255, 255));
  EXPECT_EQ(canvas.GetBrushColor(), RGB(10, 200, 30));
  EXPECT_EQ(canvas.GetTransparentColor(), RGB(0, 0, 255));
  EXPECT_EQ(dlg.GetPreview().GetTransparentColor(), 0x0000FFu);
  EXPECT_EQ(dlg.GetPreview().GetBackgroundColor(), 0xFFFF00u);
  PumpFor(20);
  EXPECT_EQ(test::CaptureClient(dlg.GetBrushWell().GetHwnd()).At(3, 3), 0x0AC81Eu);
  EXPECT_EQ(test::CaptureClient(dlg.GetTransparentWell().GetHwnd()).At(3, 3), 0x0000FFu);
  // The preview shows its new background around the icon.
  EXPECT_EQ(test::CaptureClient(dlg.GetPreview().GetHwnd()).At(0, 0), 0xFFFF00u);

  // Cancelled dialogs change nothing; the dialog opens on the current colour.
  dlg.colorsShown.clear();
  for (const char* name : {"BRUSH_COLOR", "TRANSP_COLOR", "PREVIEW_COLOR", "brush_color"})
    dlg.TextClicked(name);
  EXPECT_EQ(dlg.colorsShown, (std::vector<ColorValue>{RGB(10, 200, 30), RGB(0, 0, 255), RGB(255, 255, 0)}));
  EXPECT_EQ(canvas.GetBrushColor(), RGB(10, 200, 30));
  EXPECT_EQ(canvas.GetTransparentColor(), RGB(0, 0, 255));
  EXPECT_EQ(dlg.GetPreview().GetBackgroundColor(), 0xFFFF00u);
}

TEST_F(MainDialogTest, PickReturnsToTheToolBeforeAndUpdatesTheWells) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  CBitmapView& canvas = dlg.GetCanvas();
  At(dlg.GetImage(), 5, 6) = PixelFromColor(RGB(20, 120, 220));
  dlg.ButtonClicked("TOOL_LINE");
  dlg.ButtonClicked("TOOL_PICK");
  EXPECT_TRUE(dlg.Latched("TOOL_PICK"));
  const int cw = canvas.GetCellWidth(), ch = canvas.GetCellHeight();
  const LPARAM at = MAKELPARAM(5 * cw + cw / 2, 6 * ch + ch / 2);
  ::SendMessageA(canvas.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(canvas.GetHwnd(), WM_LBUTTONUP, 0, at);
  // The canvas posts the notification; the window answers it from its queue.
  ASSERT_TRUE(PumpUntil([&] { return dlg.GetToolName() == "TOOL_LINE"; }));
  EXPECT_EQ(canvas.GetTool(), TOOL_LINE);
  EXPECT_TRUE(dlg.Latched("TOOL_LINE"));
  EXPECT_FALSE(dlg.Latched("TOOL_PICK"));
  EXPECT_EQ(canvas.GetBrushColor(), RGB(20, 120, 220));
  PumpFor(20);
  EXPECT_EQ(test::CaptureClient(dlg.GetBrushWell().GetHwnd()).At(3, 3), 0x1478DCu);

  // Only command 500 with 6666 is the pick notification.
  canvas.SetTool(TOOL_FILL);
  ::SendMessageA(dlg.GetHwnd(), WM_COMMAND, 500, 6665);
  EXPECT_EQ(dlg.GetToolName(), "TOOL_LINE");
  ::SendMessageA(dlg.GetHwnd(), WM_COMMAND, 500, 6666);
  EXPECT_EQ(dlg.GetToolName(), "TOOL_FILL");
  EXPECT_TRUE(dlg.Latched("TOOL_FILL"));
  EXPECT_FALSE(dlg.Latched("TOOL_LINE"));
}

TEST_F(MainDialogTest, SaveWritesEachFormatAndNamesTheFile) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  At(dlg.GetImage(), 0, 0) = PixelFromColor(RGB(255, 0, 0));
  const std::string dir = NarrowDir();
  const struct {
    int type;  // 0-based in the type box
    const char* name;
    size_t size;
  } cases[] = {{0, "true.ico", 0}, {1, "sixteen.ico", 766}, {2, "picture.bmp", 0}};
  std::string expectProposed = "new.ico";
  for (const auto& c : cases) {
    const std::string path = dir + "\\" + c.name;
    dlg.onSaveShown = [&](HWND d) {
      HWND combo = ::GetDlgItem(d, cmb1);
      ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(c.type), 0);
      ::SendMessageA(d, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
      CommDlg_OpenSave_SetControlText(d, cmb13, path.c_str());
      ::PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    dlg.ButtonClicked("QaS");
    EXPECT_EQ(dlg.proposedName, expectProposed);
    files_.push_back(std::wstring(path.begin(), path.end()));
    WIN32_FILE_ATTRIBUTE_DATA info{};
    ASSERT_TRUE(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info)) << path;
    if (c.size) {
      EXPECT_EQ(info.nFileSizeLow, c.size) << c.name;
    }
    EXPECT_GT(info.nFileSizeLow, 700u);
    EXPECT_EQ(dlg.Title(), std::string("Glyphsmith - ") + c.name);
    EXPECT_EQ(dlg.GetFileName(), c.name);
    expectProposed = c.name;
  }
  // A cancelled save changes nothing; after a clear the name is new.ico again.
  dlg.onSaveShown = nullptr;
  dlg.ButtonClicked("QaS");
  EXPECT_EQ(dlg.Title(), "Glyphsmith - picture.bmp");
  dlg.ButtonClicked("TOOL_CLEAR");
  dlg.ButtonClicked("QaS");
  EXPECT_EQ(dlg.proposedName, "new.ico");
}

TEST_F(MainDialogTest, HelpOpensTheProgramsChmFile) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  dlg.ButtonClicked("BUTTON_HELP");
  ::SendMessageA(dlg.GetHwnd(), WM_HELP, 0, 0);
  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring expected = module;
  expected = expected.substr(0, expected.rfind(L'.')) + L".chm";
  EXPECT_EQ(CMainDialog::HelpFilePath(), expected);
  // Nothing of the help lies beside the test program: the request still
  // goes to the help file, which the shell then fails to find.
  EXPECT_EQ(dlg.opened, (std::vector<std::wstring>{expected, expected}));
}

TEST_F(MainDialogTest, ContextMenuAboutAndMinimise) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  ::SendMessageA(dlg.GetHwnd(), WM_COMMAND, ID_APP_ABOUT, 0);
  EXPECT_EQ(dlg.abouts, 1);
  dlg.ButtonClicked("BUTTON_EXIT");
  EXPECT_EQ(dlg.GetHwnd(), nullptr);
}

// While a menu is open, chooses its "Restore" item by its key.
HWND g_menuOwner = nullptr;
void CALLBACK ChooseRestore(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = ::FindWindowA("#32768", nullptr);
  if (menu && ::IsWindowVisible(menu)) ::PostMessageA(g_menuOwner, WM_CHAR, 'r', 0);
}

void Click(POINT at, DWORD down, DWORD up) {
  ::SetCursorPos(at.x, at.y);
  ::mouse_event(down, 0, 0, 0, 0);
  ::mouse_event(up, 0, 0, 0, 0);
}

// Minimised, the window is a strip without the skin's shape (all of it
// takes the mouse) that comes back, shape and all, by each usual way: real
// clicks on it, its system menu from Alt+Space or a right click, and
// SC_RESTORE.
TEST_F(MainDialogTest, MinimisedWindowComesBackEveryUsualWay) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  HWND h = dlg.GetHwnd();
  RECT normal;
  ::GetWindowRect(h, &normal);
  auto strip = [h] {
    RECT r;
    ::GetWindowRect(h, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  auto hasShape = [h] {
    UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    return ::GetWindowRgn(h, region.Get()) != ERROR;
  };
  g_menuOwner = h;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &ChooseRestore);
  const struct {
    const char* way;
    std::function<void()> act;
  } ways[] = {
      {"click", [&] { Click(strip(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }},
      {"double click",
       [&] {
         const POINT at = strip();
         Click(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
         Click(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
       }},
      {"right click menu", [&] { Click(strip(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }},
      {"Alt+Space menu", [&] { ::SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, ' '); }},
      {"SC_RESTORE", [&] { ::SendMessageA(h, WM_SYSCOMMAND, SC_RESTORE, 0); }},
  };
  for (const auto& w : ways) {
    SCOPED_TRACE(w.way);
    ::SetForegroundWindow(h);
    ::SetActiveWindow(h);
    dlg.ButtonClicked("BUTTON_MINIMIZE");
    ASSERT_TRUE(::IsIconic(h));
    EXPECT_FALSE(hasShape());
    w.act();
    EXPECT_TRUE(PumpUntil([h] { return !::IsIconic(h); }));
    PumpFor(20);
    RECT now;
    ::GetWindowRect(h, &now);
    EXPECT_EQ(now.right - now.left, normal.right - normal.left);
    EXPECT_TRUE(hasShape());
    if (::IsIconic(h)) ::ShowWindow(h, SW_RESTORE);
  }
  ::KillTimer(nullptr, timer);
  ::EndMenu();
}

// The real modal loop: Escape, Enter and the close request leave the
// window up; only BUTTON_EXIT ends it, with OK.
TEST_F(MainDialogTest, OnlyExitEndsTheModalWindow) {
  TestMainDialog dlg;
  bool upAfterKeys = false;
  dlg.onApp = [&] {
    upAfterKeys = ::IsWindowVisible(dlg.GetHwnd()) != FALSE;
    dlg.ButtonClicked("BUTTON_EXIT");
  };
  struct Poster {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      HWND main = ::FindWindowA(nullptr, "Glyphsmith v1.0.0");
      if (!main) return;
      ::KillTimer(nullptr, id);
      HWND focus = ::GetFocus() ? ::GetFocus() : main;
      ::PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
      ::PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0);
      ::PostMessageA(main, WM_CLOSE, 0, 0);
      ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
      ::PostMessageA(main, WM_APP, 0, 0);
    }
  };
  ::SetTimer(nullptr, 0, 20, &Poster::Tick);
  EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
  EXPECT_TRUE(upAfterKeys);
}

TEST_F(MainDialogTest, CommandLineIconIsDrawnOverTheSilverImage) {
  const std::wstring plain = Write(L"sample.ico", SampleIcon());
  // A name outside the code page must reach the file as it is.
  const std::wstring wide = Write(L"\x0436\x043F\x0433-\x4E2D.ico", SampleIcon());
  for (const std::wstring& path : {plain, wide}) {
    TestMainDialog dlg(path);
    ASSERT_TRUE(dlg.Open());
    EXPECT_TRUE(ImageIs(dlg.GetImage(), SampleColor));
    EXPECT_EQ(dlg.Title().rfind("Glyphsmith - ", 0), 0u);
    EXPECT_EQ(dlg.GetCanvas().GetUndoCount(), 1);  // no undo state for it
  }
  TestMainDialog dlg(plain);
  ASSERT_TRUE(dlg.Open());
  EXPECT_EQ(dlg.Title(), "Glyphsmith - sample");
  EXPECT_EQ(dlg.GetFileName(), "sample");
}

// Files the platform's extraction would crash on, and others without
// icons: the window comes up as without a file.
TEST_F(MainDialogTest, HostileCommandLineFileLeavesTheWindowUp) {
  std::string truncatedPe(1024, '\0');
  truncatedPe[0] = 'M', truncatedPe[1] = 'Z';
  truncatedPe[0x3C] = static_cast<char>(0x80);
  truncatedPe.replace(0x80, 4, std::string("PE\0\0", 4));
  truncatedPe[0x84] = static_cast<char>(0x64), truncatedPe[0x85] = static_cast<char>(0x86);  // x64
  truncatedPe[0x86] = 4;                                                                     // four sections
  truncatedPe[0x94] = static_cast<char>(0xF0);  // optional header
  std::string neFile(256, '\0');
  neFile[0] = 'M', neFile[1] = 'Z', neFile[0x3C] = 0x40, neFile[0x40] = 'N', neFile[0x41] = 'E';
  neFile[0x64] = static_cast<char>(0xFF), neFile[0x65] = 0x7F;  // resource table far past the end
  const std::string cases[] = {
      truncatedPe,
      neFile,
      std::string("\0\0\1\0\1\0", 6),  // an icon directory with no entry
      SampleIcon().substr(0, 100),     // an icon file cut short
      std::string("not an icon at all"),
      std::string(),
  };
  int n = 0;
  for (const std::string& bytes : cases) {
    const std::wstring path = Write(L"hostile" + std::to_wstring(n++) + L".exe", bytes);
    TestMainDialog dlg(path);
    ASSERT_TRUE(dlg.Open()) << n;
    EXPECT_TRUE(::IsWindowVisible(dlg.GetHwnd()));
    EXPECT_EQ(dlg.Title(), "Glyphsmith v1.0.0") << n;
    EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return kSilver; })) << n;
  }
  TestMainDialog missing(dir_ + L"\\no such file.ico");
  ASSERT_TRUE(missing.Open());
  EXPECT_EQ(missing.Title(), "Glyphsmith v1.0.0");
}

}  // namespace
}  // namespace glyph

namespace glyph {
namespace {

// Loading through the icon browser: drawn over the picture (its
// transparent part leaves the drawing), undoable, and named in the title.
TEST_F(MainDialogTest, LoadDrawsTheChosenIconOverThePictureAndCanBeUndone) {
  const std::wstring icon = Write(L"loaded.ico", SampleIcon());
  const std::wstring hostile = Write(L"hostile.dll", std::string("MZ\x90\0", 4) + std::string(60, '\xFF'));
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  // A picture of green everywhere.
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) At(dlg.GetImage(), x, y) = 0x00FF00;
  const int undoBefore = dlg.GetCanvas().GetUndoCount();
  const struct {
    bool ok;
    std::wstring path;
    int index;
  } nothing[] = {{false, icon, 0}, {true, L"", 0},     {true, icon, 1},
                 {true, icon, -1}, {true, hostile, 0}, {true, dir_ + L"\\missing.ico", 0}};
  for (const auto& c : nothing) {
    dlg.chooseOk = c.ok, dlg.choosePath = c.path, dlg.chooseIndex = c.index;
    dlg.ButtonClicked("BUTTON_LOAD");
    EXPECT_EQ(dlg.Title(), "Glyphsmith v1.0.0");
    EXPECT_EQ(dlg.GetCanvas().GetUndoCount(), undoBefore);
    EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return RGB(0, 255, 0); }));
  }
  dlg.chooseOk = true, dlg.choosePath = icon, dlg.chooseIndex = 0;
  dlg.ButtonClicked("BUTTON_LOAD");
  EXPECT_EQ(dlg.Title(), "Glyphsmith - loaded");
  EXPECT_TRUE(ImageIs(dlg.GetImage(),
                      [](int x, int y) { return x >= 16 && y >= 16 ? RGB(0, 255, 0) : SampleColor(x, y); }));
  // The save dialog proposes the loaded file's name.
  dlg.ButtonClicked("QaS");
  EXPECT_EQ(dlg.proposedName, "loaded");
  dlg.ButtonClicked("TOOL_UNDO");
  EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return RGB(0, 255, 0); }));
}

}  // namespace
}  // namespace glyph
