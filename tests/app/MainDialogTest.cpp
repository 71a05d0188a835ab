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
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/Stream.h"
#include "editor/CanvasRaster.h"
#include "editor/FileExportDialog.h"
#include "editor/IconFormat.h"
#include "framework/ResourceIds.h"
#include "icon/DocumentReader.h"
#include "icon/IcoWriter.h"
#include "skin/SkinGeometry.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

using test::PumpFor;
using test::PumpUntil;

constexpr ColorValue kSilver = RGB(192, 192, 192);

// Messages and questions of the window: what was said, and the answers
// to give (Cancel once they run out).
class RecordingSink final : public MessageSink {
 public:
  std::vector<std::wstring> shown, asked;
  std::deque<int> answers;
  void Show(HWND, const std::wstring& text) override { shown.push_back(text); }
  int Ask(HWND, const std::wstring& text) override {
    asked.push_back(text);
    if (answers.empty()) return IDCANCEL;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class TestMainDialog : public CMainDialog {
 public:
  explicit TestMainDialog(std::wstring commandLine = std::wstring()) : CMainDialog(std::move(commandLine)) {
    SetMessageSink(&sink);
  }
  ~TestMainDialog() override { DestroyWindow(); }

  bool Open() {
    if (!CreateModeless(nullptr)) return false;
    PumpFor(20);
    return true;
  }
  // The title as the title bar and other programs see it: the window's
  // own text, not what its ANSI procedure answers.
  std::wstring Title() const {
    wchar_t text[256] = {};
    ::InternalGetWindowText(GetHwnd(), text, 256);
    return text;
  }
  bool Latched(const char* name) const {
    const skin::CSkinButton* b = FindButton(name);
    return b && b->IsLatched();
  }

  // Colour dialog answers: a colour (and an alpha, when asked) for OK, or
  // nothing for cancel.
  struct ColorAnswer {
    bool ok;
    ColorValue color;
    int alpha = kAlphaOpaque;
  };
  std::deque<ColorAnswer> colorAnswers;
  std::vector<ColorValue> colorsShown;
  std::vector<int> alphasShown;  // -1: the dialog asked for no alpha
  RecordingSink sink;
  // Drives the real save dialog while it is up.
  std::function<void(HWND)> onSaveShown;
  std::wstring proposedName;
  int saveDialogs = 0;
  std::vector<std::wstring> opened;
  std::vector<std::wstring> written;
  int abouts = 0;
  // A message handled inside the modal loop.
  std::function<void()> onApp;

 protected:
  bool PickColor(ColorValue& color, int* alpha) override {
    colorsShown.push_back(color);
    alphasShown.push_back(alpha ? *alpha : -1);
    if (colorAnswers.empty()) return false;
    const ColorAnswer a = colorAnswers.front();
    colorAnswers.pop_front();
    if (a.ok) color = a.color;
    if (a.ok && alpha) *alpha = a.alpha;
    return a.ok;
  }
  bool RunSaveDialog(CFileExportDialog& dialog) override {
    ++saveDialogs;
    dialog.SetShownCallback([this](HWND d) {
      wchar_t typedName[MAX_PATH] = {};
      ::SendMessageW(d, CDM_GETSPEC, MAX_PATH, reinterpret_cast<LPARAM>(typedName));
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
  void FileWritten(const std::wstring& path) override { written.push_back(path); }
  void ShowAbout() override { ++abouts; }

 public:
  // The menu of sizes to add: what it offered, and the answer (0: none).
  std::vector<int> offeredSizes;
  int newSide = 0;
  bool newEmpty = false;
  // The icon browser's answer: false for cancel.
  bool chooseOk = false;
  int chooses = 0;
  std::wstring choosePath;
  int chooseIndex = 0;

 protected:
  bool ChooseNewSize(const std::vector<int>& offered, int& side, bool& empty) override {
    offeredSizes = offered;
    side = newSide;
    empty = newEmpty;
    return newSide != 0;
  }
  bool ChooseIcon(std::wstring& path, int& index) override {
    ++chooses;
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
  std::wstring dir_;
  std::vector<std::wstring> files_;
};

TEST_F(MainDialogTest, StartsWithASilverImagePenAndTitle) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  EXPECT_EQ(dlg.Title(), L"Glyphsmith v1.0.0");
  EXPECT_EQ(dlg.GetToolName(), "TOOL_PEN");
  EXPECT_TRUE(dlg.Latched("TOOL_PEN"));
  EXPECT_EQ(dlg.GetCanvas().GetTool(), TOOL_PEN);
  EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return kSilver; }));
  // The skin's window: mask size, and the template's controls kept.
  RECT r;
  ::GetWindowRect(dlg.GetHwnd(), &r);
  EXPECT_EQ(r.right - r.left, 480);
  EXPECT_EQ(r.bottom - r.top, 408);
  // The template's controls sit in the skin's frames, placed with the
  // template font's standard base units whatever font the platform
  // substituted.
  struct Placement {
    int id;
    RECT rect;
  };
  for (const Placement& p :
       {Placement{IDC_CANVAS, {99, 41, 387, 328}}, Placement{IDC_PREVIEW, {12, 356, 86, 395}},
        Placement{IDC_BRUSH_WELL, {204, 351, 287, 395}}, Placement{IDC_TRANSP_WELL, {305, 351, 386, 395}},
        Placement{IDC_SIZE_STRIP, {402, 49, 465, 281}}}) {
    ASSERT_NE(dlg.GetItem(p.id), nullptr);
    RECT c;
    ::GetWindowRect(dlg.GetItem(p.id), &c);
    ::MapWindowPoints(nullptr, dlg.GetHwnd(), reinterpret_cast<POINT*>(&c), 2);
    EXPECT_TRUE(::EqualRect(&c, &p.rect))
        << p.id << ": " << c.left << "," << c.top << " " << c.right << "," << c.bottom;
  }
  // Every button of the skin has its command, and only the camera is held.
  EXPECT_EQ(dlg.Buttons().size(), 28u);
  size_t buttonRows = 0;
  for (const MainCommand& command : MainCommands()) buttonRows += command.skinName && *command.skinName;
  EXPECT_EQ(dlg.Buttons().size(), buttonRows);
  for (const auto& button : dlg.Buttons()) {
    EXPECT_NE(FindCommand(button->Name()), nullptr) << button->Name();
    EXPECT_EQ(button->PressAndRelease(), button->Name() == "TOOL_PHOTO") << button->Name();
  }
  // The wells show black and silver.
  EXPECT_EQ(test::CaptureClient(dlg.GetBrushWell().GetHwnd()).At(3, 3), 0x000000u);
  EXPECT_EQ(test::CaptureClient(dlg.GetTransparentWell().GetHwnd()).At(3, 3), 0xC0C0C0u);
  EXPECT_NE(::SendMessageA(dlg.GetHwnd(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(::SendMessageA(dlg.GetHwnd(), WM_QUERYDRAGICON, 0, 0), 0);
}

// The window paints before the common controls library loads (under Wine
// loading it costs tens of milliseconds), and loads it once idle, for the
// tooltips. In a process of its own, where no other test has loaded it.
TEST(MainDialogStartTest, PaintsBeforeTheCommonControlsLoad) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        TestMainDialog dlg;
        if (!dlg.CreateModeless(nullptr)) std::exit(2);
        ::UpdateWindow(dlg.GetHwnd());
        if (::GetModuleHandleA("comctl32.dll")) std::exit(3);
        PumpFor(50);
        std::exit(::GetModuleHandleA("comctl32.dll") ? 0 : 4);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(MainDialogTest, ToolButtonsSelectAndLatchOneTool) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  test::AutoAnswer cancel(IDCANCEL);  // the "Enter text" dialog of TOOL_TEXT
  for (int tool = 0; tool < kToolCount; ++tool) {
    const char* name = FindToolCommand(tool)->skinName;
    if (!*name) continue;  // chosen by its key only
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
  EXPECT_EQ(dlg.GetCanvas().GetText(), L"Hi");
  EXPECT_EQ(dlg.GetCanvas().GetTool(), TOOL_TEXT);
}

TEST_F(MainDialogTest, ImageCommandsClearUndoBlurAndCamera) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  CBitmapView& canvas = dlg.GetCanvas();
  ASSERT_GT(canvas.GetZoom(), 0);
  const POINT cell = canvas.CellCentre(POINT{3, 4});
  const LPARAM at = MAKELPARAM(cell.x, cell.y);
  ::SendMessageA(canvas.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(canvas.GetHwnd(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(At(dlg.GetImage(), 3, 4) & 0xFFFFFF, 0u);
  dlg.ButtonClicked("TOOL_UNDO");
  EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return kSilver; }));

  // Blur mixes neighbours (the transparent colour stays out of it).
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) At(dlg.GetImage(), x, y) = (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000;
  dlg.ButtonClicked("TOOL_BLUR_ALL");
  const Pixel blurred = At(dlg.GetImage(), 4, 4) & 0xFFFFFF;
  EXPECT_NE(blurred, 0x000000u);
  EXPECT_NE(blurred, 0xFFFFFFu);
  dlg.sink.answers = {IDNO};  // not saved
  dlg.ButtonClicked("TOOL_CLEAR");
  EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return kSilver; }));
  EXPECT_EQ(dlg.Title(), L"Glyphsmith v1.0.0");

  // The camera reports press and release: each toggles the capture.
  dlg.ButtonClicked("TOOL_PHOTO");
  EXPECT_TRUE(dlg.IsCapturing());
  EXPECT_TRUE(canvas.IsCapturing());
  dlg.ButtonClicked("TOOL_PHOTO");
  EXPECT_FALSE(dlg.IsCapturing());
  EXPECT_FALSE(canvas.IsCapturing());
}

// The opacity slider's label reads "OPACITY": its tooltip gives the
// canvas's opacity, from the start (the skin's text) and after each move.
TEST_F(MainDialogTest, SlidersSetOpacityAndSizeWithTheirTooltips) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  const skin::CSkinTrackbar* opacity = dlg.FindTrackbar("TRACKBAR_TRANSP");
  ASSERT_NE(opacity, nullptr);
  EXPECT_EQ(dlg.GetCanvas().GetOpacity(), 256);
  EXPECT_EQ(test::TooltipText(opacity->GetTooltip(), opacity->GetHwnd()), "Opacity 100 %");
  const struct {
    const char* name;
    int position;
    int opacity, size;
    const char* tip;
  } cases[] = {
      {"TRACKBAR_TRANSP", 128, 128, 1, "Opacity 50 %"}, {"TRACKBAR_TRANSP", 255, 1, 1, "Opacity 1 %"},
      {"TRACKBAR_TRANSP", 256, 0, 1, "Opacity 0 %"},    {"TRACKBAR_TRANSP", 0, 256, 1, "Opacity 100 %"},
      {"TRACKBAR_SIZE", 0, 256, 1, "1 pixel"},          {"TRACKBAR_SIZE", 4, 256, 5, "5 pixels"},
      {"TRACKBAR_SIZE", 13, 256, 14, "14 pixels"},
  };
  for (const auto& c : cases) {
    dlg.TrackbarNotify(c.name, 8, c.position);
    EXPECT_EQ(dlg.GetCanvas().GetOpacity(), c.opacity) << c.name << " " << c.position;
    EXPECT_EQ(dlg.GetCanvas().GetBrushSize(), c.size) << c.name << " " << c.position;
    const skin::CSkinTrackbar* slider = dlg.FindTrackbar(c.name);
    EXPECT_EQ(test::TooltipText(slider->GetTooltip(), slider->GetHwnd()), c.tip);
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

  // Only the brush has an alpha; a see-through brush shows over a
  // checkerboard in its well.
  EXPECT_EQ(dlg.alphasShown, (std::vector<int>{255, -1, -1, 255, -1, -1}));
  dlg.colorAnswers = {{true, RGB(10, 200, 30), 128}};
  dlg.TextClicked("BRUSH_COLOR");
  EXPECT_EQ(canvas.GetBrushAlpha(), 128);
  PumpFor(20);
  const test::ClientPixels well = test::CaptureClient(dlg.GetBrushWell().GetHwnd());
  EXPECT_NE(well.At(3, 3), well.At(3 + kCheckerSquare, 3));
  EXPECT_GT(well.At(3, 3) >> 16, 10u);
}

TEST_F(MainDialogTest, PickReturnsToTheToolBeforeAndUpdatesTheWells) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  CBitmapView& canvas = dlg.GetCanvas();
  At(dlg.GetImage(), 5, 6) = 0xFF000000u | PixelFromColor(RGB(20, 120, 220));
  dlg.ButtonClicked("TOOL_LINE");
  dlg.ButtonClicked("TOOL_PICK");
  EXPECT_TRUE(dlg.Latched("TOOL_PICK"));
  const POINT cell = canvas.CellCentre(POINT{5, 6});
  const LPARAM at = MAKELPARAM(cell.x, cell.y);
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

// In the save dialog: chooses type `type` (0-based; -1 keeps it), types
// `name` and presses Save.
std::function<void(HWND)> TypeAndSave(int type, std::wstring name) {
  return [type, name](HWND d) {
    if (type >= 0) {
      HWND combo = ::GetDlgItem(d, cmb1);
      ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(type), 0);
      ::SendMessageW(d, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
    }
    ::SendMessageW(d, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(name.c_str()));
    ::PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
}

DWORD FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) return 0;
  return info.nFileSizeLow;
}

// Each format, names outside the code page and bare names (which get the
// chosen type's extension): the file is written under that name, the
// title names it, and it opens again with its picture.
TEST_F(MainDialogTest, SaveWritesEachFormatUnderTheNameTyped) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  At(dlg.GetImage(), 0, 0) = 0xFF000000u | PixelFromColor(RGB(255, 0, 0));
  const struct {
    int type;  // 0-based in the type box
    const wchar_t* typed;
    const wchar_t* name;  // of the file written
    DWORD size;
  } cases[] = {
      {0, L"true.ico", L"true.ico", 3262},
      {1, L"sixteen", L"sixteen.ico", 766},
      {2, L"picture.bmp", L"picture.bmp", 4150},
      {0, L"\x043D\x043E\x0432\x044B\x0439.ico", L"\x043D\x043E\x0432\x044B\x0439.ico", 3262},
      {0, L"\x56FE\x6807\x0032", L"\x56FE\x6807\x0032.ico", 3262},
  };
  std::wstring expectProposed = L"new.ico";
  for (const auto& c : cases) {
    const std::wstring path = dir_ + L"\\" + c.name;
    dlg.onSaveShown = TypeAndSave(c.type, dir_ + L"\\" + c.typed);
    dlg.ButtonClicked("QaS");
    files_.push_back(path);
    EXPECT_EQ(dlg.proposedName, expectProposed);
    EXPECT_EQ(FileSize(path), c.size) << c.name;
    EXPECT_EQ(dlg.Title(), std::wstring(L"Glyphsmith - ") + c.name);
    expectProposed = c.name;

    TestMainDialog reopened(path);
    ASSERT_TRUE(reopened.Open());
    EXPECT_EQ(reopened.Title(),
              L"Glyphsmith - " + std::wstring(c.name).substr(0, std::wstring(c.name).find(L'.')));
    EXPECT_EQ(At(reopened.GetImage(), 0, 0) & 0xFFFFFF, 0xFF0000u) << c.name;
    EXPECT_TRUE(reopened.sink.shown.empty());
  }
  // A cancelled save changes nothing; after a clear the name is new.ico again.
  dlg.onSaveShown = nullptr;
  dlg.ButtonClicked("QaS");
  EXPECT_EQ(dlg.Title(), L"Glyphsmith - \x56FE\x6807\x0032.ico");
  dlg.ButtonClicked("TOOL_CLEAR");
  dlg.ButtonClicked("QaS");
  EXPECT_EQ(dlg.proposedName, L"new.ico");
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

// The real modal loop: Escape and Enter leave the window up; the close
// request (Alt+F4 comes as SC_CLOSE, then WM_CLOSE) ends it with OK, as
// BUTTON_EXIT does.
TEST_F(MainDialogTest, TheCloseRequestEndsTheModalWindowAndKeysDoNot) {
  static UINT closeMessage;
  static WPARAM closeParam;
  for (const auto& [message, param] : {std::pair<UINT, WPARAM>{WM_CLOSE, 0}, {WM_SYSCOMMAND, SC_CLOSE}}) {
    closeMessage = message, closeParam = param;
    TestMainDialog dlg;
    bool upAfterKeys = false;
    dlg.onApp = [&] {
      upAfterKeys = ::IsWindowVisible(dlg.GetHwnd()) != FALSE;
      ::PostMessageW(dlg.GetHwnd(), closeMessage, closeParam, 0);
    };
    struct Poster {
      static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND main = ::FindWindowW(nullptr, L"Glyphsmith v1.0.0");
        if (!main) return;
        ::KillTimer(nullptr, id);
        HWND focus = ::GetFocus() ? ::GetFocus() : main;
        ::PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
        ::PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageW(main, WM_APP, 0, 0);
      }
    };
    ::SetTimer(nullptr, 0, 20, &Poster::Tick);
    EXPECT_EQ(dlg.DoModal(nullptr), IDOK) << message;
    EXPECT_TRUE(upAfterKeys) << message;
  }
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

TEST_F(MainDialogTest, CommandLineIconIsDrawnOverTheSilverImage) {
  const std::wstring plain = Write(L"sample.ico", SampleIcon());
  // A name outside the code page must reach the file as it is.
  const std::wstring wide = Write(L"\x0436\x043F\x0433-\x4E2D.ico", SampleIcon());
  for (const std::wstring& path : {plain, wide}) {
    TestMainDialog dlg(path);
    ASSERT_TRUE(dlg.Open());
    EXPECT_TRUE(ImageIs(dlg.GetImage(), SampleColor));
    EXPECT_EQ(dlg.Title().rfind(L"Glyphsmith - ", 0), 0u);
    EXPECT_EQ(dlg.GetCanvas().GetUndoCount(), 1);  // no undo state for it
  }
  TestMainDialog dlg(plain);
  ASSERT_TRUE(dlg.Open());
  EXPECT_EQ(dlg.Title(), L"Glyphsmith - sample");
  EXPECT_EQ(dlg.GetFileName(), L"sample");
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
      std::string("BM not a bitmap"),
  };
  int n = 0;
  for (const std::string& bytes : cases) {
    const std::wstring path = Write(L"hostile" + std::to_wstring(n++) + L".exe", bytes);
    TestMainDialog dlg(path);
    ASSERT_TRUE(dlg.Open()) << n;
    EXPECT_TRUE(::IsWindowVisible(dlg.GetHwnd()));
    EXPECT_EQ(dlg.Title(), L"Glyphsmith v1.0.0") << n;
    EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return kSilver; })) << n;
    // The user is told which file gave nothing, and why.
    ASSERT_EQ(dlg.sink.shown.size(), 1u) << n;
    EXPECT_EQ(dlg.sink.shown[0].rfind(L"Cannot open the file " + path + L": it", 0), 0u) << n;
  }
  const std::wstring nowhere = dir_ + L"\\no such file.ico";
  TestMainDialog missing(nowhere);
  ASSERT_TRUE(missing.Open());
  EXPECT_EQ(missing.Title(), L"Glyphsmith v1.0.0");
  EXPECT_EQ(missing.sink.shown,
            std::vector<std::wstring>{L"Cannot open the file " + nowhere + L": it does not exist."});
}

}  // namespace
}  // namespace glyph

namespace glyph {
namespace {

// Loading through the icon browser: the icon replaces the picture (its
// transparent part shows the transparent colour), undoable, and named in
// the title.
TEST_F(MainDialogTest, LoadOpensTheChosenIconAndCanBeUndone) {
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
    const wchar_t* why;  // null: nothing to tell (a cancel)
  } nothing[] = {{false, icon, 0, nullptr},
                 {true, L"", 0, nullptr},
                 {true, icon, 1, L"it holds no such icon."},
                 {true, icon, -1, nullptr},
                 {true, hostile, 0, L"it holds no icon."},
                 {true, dir_ + L"\\missing.ico", 0, L"it does not exist."}};
  for (const auto& c : nothing) {
    dlg.chooseOk = c.ok, dlg.choosePath = c.path, dlg.chooseIndex = c.index;
    dlg.sink.shown.clear();
    dlg.ButtonClicked("BUTTON_LOAD");
    EXPECT_EQ(dlg.Title(), L"Glyphsmith v1.0.0");
    EXPECT_EQ(dlg.GetCanvas().GetUndoCount(), undoBefore);
    EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return RGB(0, 255, 0); }));
    EXPECT_EQ(dlg.sink.shown,
              c.why ? std::vector<std::wstring>{L"Cannot open the file " + c.path + L": " + c.why}
                    : std::vector<std::wstring>{});
  }
  dlg.chooseOk = true, dlg.choosePath = icon, dlg.chooseIndex = 0;
  dlg.ButtonClicked("BUTTON_LOAD");
  EXPECT_EQ(dlg.Title(), L"Glyphsmith - loaded");
  EXPECT_TRUE(ImageIs(dlg.GetImage(), SampleColor));
  EXPECT_EQ(At(dlg.GetImage(), 20, 20) >> 24, 0u);
  // The save dialog proposes the loaded file's name.
  dlg.ButtonClicked("QaS");
  EXPECT_EQ(dlg.proposedName, L"loaded");
  dlg.ButtonClicked("TOOL_UNDO");
  EXPECT_TRUE(ImageIs(dlg.GetImage(), [](int, int) { return RGB(0, 255, 0); }));
}

// What the platform's dialog loop does with each message queued: keys
// pass IsDialogMessage first, then go to the focused control.
void PumpDialog(HWND dialog) {
  MSG m;
  while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (::IsDialogMessageA(dialog, &m)) continue;
    ::TranslateMessage(&m);
    ::DispatchMessageA(&m);
  }
}

// Holds Control and Shift as asked while the key goes down and up in
// `target`, through the dialog loop.
void PressKey(HWND dialog, HWND target, UINT key, bool ctrl = false, bool shift = false) {
  BYTE state[256] = {};
  ::GetKeyboardState(state);
  state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? 0x80 : 0;
  state[VK_SHIFT] = state[VK_LSHIFT] = shift ? 0x80 : 0;
  ::SetKeyboardState(state);
  ::PostMessageA(target, WM_KEYDOWN, key, 1);
  ::PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  PumpDialog(dialog);
  state[VK_CONTROL] = state[VK_LCONTROL] = state[VK_SHIFT] = state[VK_LSHIFT] = 0;
  ::SetKeyboardState(state);
}

// A skin text field's window (FindText is a macro of the common dialogs).
HWND TextField(const TestMainDialog& dlg, const std::string& name) {
  for (const auto& t : dlg.Texts())
    if (t->Name() == name) return t->GetHwnd();
  return nullptr;
}

// The tool keys work whichever control has the focus; the buttons'
// tooltips name them.
TEST_F(MainDialogTest, ToolKeysWorkFromEveryControlAndTooltipsNameThem) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  const HWND targets[] = {dlg.GetHwnd(), dlg.GetCanvas().GetHwnd(), dlg.FindButton("TOOL_CLEAR")->GetHwnd(),
                          dlg.FindTrackbar("TRACKBAR_SIZE")->GetHwnd(), TextField(dlg, "BRUSH_COLOR")};
  const struct {
    UINT key;
    int tool;
  } keys[] = {{'L', TOOL_LINE},      {'R', TOOL_RECT},         {'E', TOOL_ELLIPSE},
              {'F', TOOL_FILL_RECT}, {'D', TOOL_FILL_ELLIPSE}, {'G', TOOL_FILL},
              {'I', TOOL_PICK},      {'B', TOOL_BLUR},         {'P', TOOL_PEN}};
  for (HWND target : targets) {
    ::SetFocus(target);
    for (const auto& k : keys) {
      PressKey(dlg.GetHwnd(), target, k.key);
      EXPECT_EQ(dlg.GetCanvas().GetTool(), k.tool) << static_cast<char>(k.key);
      EXPECT_TRUE(dlg.Latched(FindToolCommand(k.tool)->skinName)) << static_cast<char>(k.key);
    }
  }
  const struct {
    const char* name;
    const char* tip;
  } tips[] = {{"TOOL_PEN", "Pen (P)"},
              {"TOOL_FILL_ELLIPSE", "Fill ellipse (D)"},
              {"TOOL_UNDO", "Undo (Ctrl+Z)"},
              {"BUTTON_LOAD", "Load icon (Ctrl+L)"},
              {"QaS", "Save icon (Ctrl+Shift+S)"},
              {"TOOL_CLEAR", "Clear icon"}};
  for (const auto& t : tips) {
    const skin::CSkinButton* button = dlg.FindButton(t.name);
    ASSERT_NE(button, nullptr) << t.name;
    EXPECT_EQ(test::TooltipText(button->GetTooltip(), button->GetHwnd()), t.tip);
  }
}

// Undo, redo, load and the two saves by key; none of the keys reach the
// main window while its "Enter text" dialog is up.
TEST_F(MainDialogTest, CommandKeysUndoRedoLoadAndSave) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  CBitmapView& canvas = dlg.GetCanvas();
  const HWND focus = dlg.FindButton("TOOL_PEN")->GetHwnd();
  const POINT cell = canvas.CellCentre(POINT{3, 4});
  const LPARAM at = MAKELPARAM(cell.x, cell.y);
  ::SendMessageA(canvas.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(canvas.GetHwnd(), WM_LBUTTONUP, 0, at);
  const Pixel drawn = At(dlg.GetImage(), 3, 4) & 0xFFFFFF;
  ASSERT_EQ(drawn, 0u);
  const struct {
    UINT key;
    bool ctrl, shift;
    Pixel expected;
  } steps[] = {{'Z', true, false, 0xC0C0C0},
               {'Y', true, false, 0},
               {'Z', true, false, 0xC0C0C0},
               {'Z', true, true, 0},
               {'Z', false, false, 0}};
  for (const auto& s : steps) {
    PressKey(dlg.GetHwnd(), focus, s.key, s.ctrl, s.shift);
    EXPECT_EQ(At(dlg.GetImage(), 3, 4) & 0xFFFFFF, s.expected)
        << static_cast<char>(s.key) << (s.ctrl ? " ctrl" : "") << (s.shift ? " shift" : "");
  }
  PressKey(dlg.GetHwnd(), focus, 'L', true);
  EXPECT_EQ(dlg.chooses, 1);
  PressKey(dlg.GetHwnd(), focus, 'S', true);
  EXPECT_EQ(dlg.saveDialogs, 1);
  EXPECT_EQ(dlg.proposedName, L"new.ico");
  PressKey(dlg.GetHwnd(), focus, 'S', true, true);
  EXPECT_EQ(dlg.saveDialogs, 2);
  EXPECT_EQ(canvas.GetTool(), TOOL_PEN);

  // T chooses the text tool, which asks for its text first. While that
  // dialog is up, a key posted to the main window's focused control or
  // typed into the dialog runs nothing.
  struct Typer {
    static HWND& Focus() {
      static HWND focus = nullptr;
      return focus;
    }
    static CBitmapView*& Canvas() {
      static CBitmapView* canvas = nullptr;
      return canvas;
    }
    static int& ToolWhileUp() {
      static int tool = -1;
      return tool;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      HWND box = ::FindWindowA(nullptr, "Enter text");
      if (!box) return;
      ::KillTimer(nullptr, id);
      ::PostMessageA(Focus(), WM_KEYDOWN, 'L', 1);
      ::PostMessageA(::GetDlgItem(box, 1010), WM_KEYDOWN, 'R', 1);
      ::SetTimer(nullptr, 0, 20, &Close);
    }
    // Once the keys are through.
    static void CALLBACK Close(HWND, UINT, UINT_PTR id, DWORD) {
      ::KillTimer(nullptr, id);
      ToolWhileUp() = Canvas()->GetTool();
      ::PostMessageA(::FindWindowA(nullptr, "Enter text"), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  };
  Typer::Focus() = focus;
  Typer::Canvas() = &canvas;
  ::SetTimer(nullptr, 0, 20, &Typer::Tick);
  PressKey(dlg.GetHwnd(), focus, 'T');
  EXPECT_EQ(canvas.GetTool(), TOOL_TEXT);
  EXPECT_EQ(Typer::ToolWhileUp(), TOOL_PEN);
  EXPECT_EQ(canvas.GetText(), L"r");
}

// The real modal loop hands keys to the window too.
TEST_F(MainDialogTest, KeysWorkInTheModalLoop) {
  TestMainDialog dlg;
  int toolAfterKey = -1;
  dlg.onApp = [&] {
    toolAfterKey = dlg.GetCanvas().GetTool();
    dlg.ButtonClicked("BUTTON_EXIT");
  };
  struct Poster {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      HWND main = ::FindWindowA(nullptr, "Glyphsmith v1.0.0");
      if (!main) return;
      ::KillTimer(nullptr, id);
      HWND focus = ::GetFocus() ? ::GetFocus() : main;
      ::PostMessageA(focus, WM_KEYDOWN, 'E', 1);
      ::PostMessageA(main, WM_APP, 0, 0);
    }
  };
  ::SetTimer(nullptr, 0, 20, &Poster::Tick);
  EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
  EXPECT_EQ(toolAfterKey, TOOL_ELLIPSE);
}

// The skin control a window is, by name.
std::string ControlName(const TestMainDialog& dlg, HWND hwnd) {
  for (const auto& b : dlg.Buttons())
    if (b->GetHwnd() == hwnd) return b->Name();
  for (const auto& t : dlg.Trackbars())
    if (t->GetHwnd() == hwnd) return t->Name();
  for (const auto& t : dlg.Texts())
    if (t->GetHwnd() == hwnd) return t->Name();
  return hwnd ? "other" : "none";
}

// Tab walks the skin's controls in reading order from the tool in use,
// with a focus mark that comes and goes with the focus; Space and Enter
// press a focused button or colour field, the arrows move a focused slider.
TEST_F(MainDialogTest, TabMovesAVisibleFocusThroughTheControls) {
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  EXPECT_EQ(ControlName(dlg, ::GetFocus()), "TOOL_PEN");
  // No mark before the keyboard is used: focus by code (or a click) shows none.
  const HWND pen = dlg.FindButton("TOOL_PEN")->GetHwnd();
  const test::ClientPixels penFocused = test::CaptureClient(pen);
  ::SetFocus(dlg.FindButton("TOOL_LINE")->GetHwnd());
  EXPECT_EQ(test::CaptureClient(pen).bits, penFocused.bits);
  ::SetFocus(pen);
  const HWND line = dlg.FindButton("TOOL_LINE")->GetHwnd();
  const HWND brush = TextField(dlg, "BRUSH_COLOR");
  const test::ClientPixels lineBefore = test::CaptureClient(line);
  const test::ClientPixels brushBefore = test::CaptureClient(brush);
  // Rows from the top: the sizes column's buttons join the rows of the
  // tools and of the colour fields beside them.
  const std::vector<std::string> cycle = {
      "TOOL_LINE",   "TOOL_RECT",       "TOOL_ELLIPSE",  "TOOL_FILL_RECT",  "TOOL_FILL_ELLIPSE",
      "TOOL_FILL",   "TOOL_PICK",       "TOOL_TEXT",     "TOOL_BLUR",       "SIZE_ADD",
      "SIZE_REMOVE", "SIZES_MAKE",      "TOOL_CLEAR",    "TOOL_BLUR_ALL",   "ZOOM_IN",
      "ZOOM_OUT",    "ZOOM_FIT",        "PREVIEW_COLOR", "TRACKBAR_TRANSP", "TRACKBAR_SIZE",
      "BRUSH_COLOR", "TRANSP_COLOR",    "TOOL_ERASER",   "SHOW_CHECKER",    "PREVIEW_SIZES",
      "BUTTON_HELP", "BUTTON_MINIMIZE", "BUTTON_EXIT",   "BUTTON_LOAD",     "QaS",
      "TOOL_UNDO",   "TOOL_PHOTO",      "TOOL_PEN"};
  std::vector<std::string> visited;
  for (size_t i = 0; i < cycle.size(); ++i) {
    PressKey(dlg.GetHwnd(), ::GetFocus(), VK_TAB);
    visited.push_back(ControlName(dlg, ::GetFocus()));
    const HWND focus = ::GetFocus();
    if (focus == line || focus == brush) {
      const test::ClientPixels& before = focus == line ? lineBefore : brushBefore;
      EXPECT_NE(test::CaptureClient(focus).bits, before.bits) << visited.back() << " shows no focus mark";
    }
  }
  EXPECT_EQ(visited, cycle);
  PumpFor(20);
  EXPECT_EQ(test::CaptureClient(line).bits, lineBefore.bits) << "the mark stays on TOOL_LINE";
  EXPECT_EQ(test::CaptureClient(brush).bits, brushBefore.bits) << "the mark stays on BRUSH_COLOR";

  const struct {
    UINT key;
    const char* tool;
  } presses[] = {{VK_SPACE, "TOOL_RECT"}, {VK_RETURN, "TOOL_ELLIPSE"}, {VK_SPACE, "TOOL_FILL"}};
  for (const auto& p : presses) {
    const HWND button = dlg.FindButton(p.tool)->GetHwnd();
    ::SetFocus(button);
    PressKey(dlg.GetHwnd(), button, p.key);
    EXPECT_EQ(dlg.GetToolName(), p.tool);
  }
  ::SetFocus(brush);
  PressKey(dlg.GetHwnd(), brush, VK_SPACE);
  EXPECT_EQ(dlg.colorsShown.size(), 1u);

  const HWND size = dlg.FindTrackbar("TRACKBAR_SIZE")->GetHwnd();
  ::SetFocus(size);
  PressKey(dlg.GetHwnd(), size, VK_RIGHT);
  PressKey(dlg.GetHwnd(), size, VK_RIGHT);
  EXPECT_EQ(dlg.GetCanvas().GetBrushSize(), 3);
  PressKey(dlg.GetHwnd(), size, VK_LEFT);
  EXPECT_EQ(dlg.GetCanvas().GetBrushSize(), 2);
}

// A pen dot on cell (x, y), as the mouse makes it.
void Dot(TestMainDialog& dlg, int x, int y) {
  CBitmapView& canvas = dlg.GetCanvas();
  const POINT cell = canvas.CellCentre(POINT{x, y});
  const LPARAM at = MAKELPARAM(cell.x, cell.y);
  ::SendMessageW(canvas.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(canvas.GetHwnd(), WM_LBUTTONUP, 0, at);
}

std::string ReadAll(const std::wstring& path) {
  std::string bytes;
  UniqueFile file(
      ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  char buffer[8192];
  DWORD read = 0;
  while (file && ::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  return bytes;
}

// The sample picture as a 16-colour icon and as a .bmp file.
std::string SampleAs(bool bitmap) {
  CDib image;
  image.Create(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      At(image, x, y) = (bitmap ? 0 : 0xFF000000u) | PixelFromColor(SampleColor(x, y));
  if (!bitmap) {
    const std::vector<uint8_t> icon = BuildSixteenColorIcon(image.View(), 0xC0C0C0);
    return std::string(icon.begin(), icon.end());
  }
  MemoryStream stream;
  image.WriteBmp(stream);
  return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

// Saving back: the file the image came from, in its format, without a
// dialog; the unsaved mark comes with a change (an undo is one too) and
// goes with the save. Without such a file it asks where, once.
TEST_F(MainDialogTest, SaveBackWritesTheSourceFileInItsFormat) {
  const struct {
    std::wstring name;
    std::string bytes;
    DWORD size;  // after the save
  } cases[] = {
      {L"true.ico", SampleIcon(), 3262},
      {L"four.ico", SampleAs(false), 766},
      {L"picture.bmp", SampleAs(true), 4150},
  };
  for (const auto& c : cases) {
    const std::wstring path = Write(c.name, c.bytes);
    const std::wstring title = c.name.substr(0, c.name.find(L'.'));
    TestMainDialog dlg(path);
    ASSERT_TRUE(dlg.Open());
    EXPECT_EQ(dlg.Title(), L"Glyphsmith - " + title) << title;
    EXPECT_TRUE(dlg.sink.shown.empty()) << title;
    Dot(dlg, 20, 20);
    EXPECT_EQ(dlg.Title(), L"*Glyphsmith - " + title);
    ASSERT_TRUE(dlg.SaveBack()) << title;
    EXPECT_EQ(dlg.saveDialogs, 0);
    EXPECT_EQ(dlg.Title(), L"Glyphsmith - " + c.name);
    EXPECT_EQ(FileSize(path), c.size) << title;
    EXPECT_EQ(dlg.written, std::vector<std::wstring>{path}) << title;  // the shell hears of it
    TestMainDialog reopened(path);
    ASSERT_TRUE(reopened.Open());
    EXPECT_EQ(At(reopened.GetImage(), 20, 20) & 0xFFFFFF, 0u) << title;
    EXPECT_EQ(At(reopened.GetImage(), 0, 0) & 0xFFFFFF, 0xFF0000u) << title;
    dlg.ButtonClicked("TOOL_UNDO");
    EXPECT_EQ(dlg.Title(), L"*Glyphsmith - " + c.name);
  }

  TestMainDialog fresh;
  ASSERT_TRUE(fresh.Open());
  Dot(fresh, 1, 1);
  EXPECT_EQ(fresh.Title(), L"*Glyphsmith v1.0.0");
  const std::wstring path = dir_ + L"\\fresh.ico";
  files_.push_back(path);
  fresh.onSaveShown = TypeAndSave(-1, L"fresh");
  ASSERT_TRUE(fresh.SaveBack());
  EXPECT_EQ(FileSize(path), 3262u);
  Dot(fresh, 2, 2);
  ASSERT_TRUE(fresh.SaveBack());
  EXPECT_EQ(fresh.saveDialogs, 1);
  EXPECT_EQ(fresh.Title(), L"Glyphsmith - fresh.ico");
}

// After loading sub\\mine.ico, Save with the proposed name writes over
// that file (once the overwrite prompt is answered), even when the last
// save went to another folder.
TEST_F(MainDialogTest, SaveAsOpensInTheFolderTheIconCameFrom) {
  const std::wstring sub = dir_ + L"\\sub";
  ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
  const std::wstring mine = Write(L"sub\\mine.ico", SampleIcon());
  TestMainDialog dlg;
  ASSERT_TRUE(dlg.Open());
  dlg.onSaveShown = TypeAndSave(0, dir_ + L"\\elsewhere.ico");
  files_.push_back(dir_ + L"\\elsewhere.ico");
  ASSERT_TRUE(dlg.SaveAs());
  dlg.chooseOk = true, dlg.choosePath = mine, dlg.chooseIndex = 0;
  dlg.ButtonClicked("BUTTON_LOAD");
  Dot(dlg, 20, 20);
  std::optional<test::AutoAnswer> yes;
  dlg.onSaveShown = [&](HWND d) {
    yes.emplace(IDYES);  // the overwrite prompt
    ::PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
  dlg.ButtonClicked("QaS");
  EXPECT_EQ(dlg.proposedName, L"mine");
  EXPECT_GE(yes->Count(), 1);
  EXPECT_TRUE(ReadAll(mine) != SampleIcon());  // rewritten
  EXPECT_EQ(dlg.Title(), L"Glyphsmith - mine.ico");
  EXPECT_EQ(::GetFileAttributesW((dir_ + L"\\mine").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(::GetFileAttributesW((sub + L"\\mine").c_str()), INVALID_FILE_ATTRIBUTES);
  // Saving there did not leave the folder in use as the current one.
  ::DeleteFileW(mine.c_str());
  EXPECT_TRUE(::RemoveDirectoryW(sub.c_str()));
}

// Exit, the close request, loading and clearing with unsaved changes ask
// first: Cancel abandons the action, No goes on, Yes saves back and goes
// on; a save that does not happen abandons it too.
TEST_F(MainDialogTest, UnsavedChangesAreAskedAboutFirst) {
  const std::wstring other = Write(L"loaded.ico", SampleIcon());
  enum Action { kExitButton, kCloseRequest, kLoad, kClear };
  const struct {
    Action action;
    int answer;
    bool goesOn, saved;
  } cases[] = {
      {kExitButton, IDCANCEL, false, false},
      {kExitButton, IDNO, true, false},
      {kExitButton, IDYES, true, true},
      {kCloseRequest, IDCANCEL, false, false},
      {kCloseRequest, IDNO, true, false},
      {kLoad, IDCANCEL, false, false},
      {kLoad, IDYES, true, true},
      {kClear, IDCANCEL, false, false},
      {kClear, IDNO, true, false},
  };
  for (const auto& c : cases) {
    const std::wstring path = Write(L"sample.ico", SampleIcon());
    TestMainDialog dlg(path);
    ASSERT_TRUE(dlg.Open());
    Dot(dlg, 20, 20);
    dlg.sink.answers = {c.answer};
    dlg.chooseOk = true, dlg.choosePath = other, dlg.chooseIndex = 0;
    switch (c.action) {
      case kExitButton:
        dlg.ButtonClicked("BUTTON_EXIT");
        break;
      case kCloseRequest:
        ::SendMessageW(dlg.GetHwnd(), WM_CLOSE, 0, 0);
        break;
      case kLoad:
        dlg.ButtonClicked("BUTTON_LOAD");
        break;
      case kClear:
        dlg.ButtonClicked("TOOL_CLEAR");
        break;
    }
    const std::string label = std::to_string(c.action) + "/" + std::to_string(c.answer);
    EXPECT_EQ(dlg.sink.asked, std::vector<std::wstring>{L"Save changes to sample?"}) << label;
    EXPECT_EQ(ReadAll(path) != SampleIcon(), c.saved) << label;
    if (c.action == kExitButton || c.action == kCloseRequest) {
      EXPECT_EQ(dlg.GetHwnd() == nullptr, c.goesOn) << label;
    } else {
      const wchar_t* after = c.action == kLoad ? L"Glyphsmith - loaded" : L"Glyphsmith v1.0.0";
      EXPECT_EQ(dlg.Title(), c.goesOn ? std::wstring(after) : L"*Glyphsmith - sample") << label;
    }
  }

  // An untitled image is asked about by the default name; Yes whose save
  // dialog is cancelled keeps the window.
  TestMainDialog fresh;
  ASSERT_TRUE(fresh.Open());
  Dot(fresh, 3, 3);
  fresh.sink.answers = {IDYES};
  fresh.ButtonClicked("BUTTON_EXIT");
  EXPECT_EQ(fresh.sink.asked, std::vector<std::wstring>{L"Save changes to new.ico?"});
  EXPECT_EQ(fresh.saveDialogs, 1);
  EXPECT_NE(fresh.GetHwnd(), nullptr);
}

}  // namespace
}  // namespace glyph

namespace glyph {
namespace {

// An icon of flat sizes: the pixel's byte 3 is its alpha (0 means opaque).
std::string IconOfSizes(std::initializer_list<std::pair<int, Pixel>> sizes) {
  icon::IconDocument document;
  for (const auto& [side, argb] : sizes) {
    icon::RgbaImage image{side, side, {}};
    const uint8_t alpha = (argb >> 24) ? static_cast<uint8_t>(argb >> 24) : 255;
    for (int i = 0; i < side * side; ++i)
      image.pixels.insert(image.pixels.end(),
                          {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                           static_cast<uint8_t>(argb), alpha});
    document.images.push_back({image, icon::IconStorage::kBmp, 32});
  }
  std::vector<uint8_t> bytes;
  std::string why;
  EXPECT_TRUE(icon::WriteIcoFile(document, bytes, why)) << why;
  return std::string(bytes.begin(), bytes.end());
}

// An icon opens with every size; each is edited on its own, a size change
// is undone like a drawing, and saving back writes every size.
TEST_F(MainDialogTest, EverySizeIsEditedAndSavedBackTogether) {
  const std::wstring path =
      Write(L"sizes.ico", IconOfSizes({{16, 0xFF0000}, {32, 0x00FF00}, {48, 0x0000FF}}));
  TestMainDialog dlg(path);
  ASSERT_TRUE(dlg.Open());
  ASSERT_EQ(dlg.GetDocument().Count(), 3u);
  EXPECT_EQ(dlg.GetImage().GetWidth(), 48u);
  // The strip lists the sizes; a click on a row edits that size.
  CSizeStrip& strip = dlg.GetSizeStrip();
  ASSERT_EQ(strip.GetCount(), 3u);
  EXPECT_EQ(strip.GetLabel(0) + strip.GetLabel(1) + strip.GetLabel(2), L"163248");
  EXPECT_EQ(strip.GetCurrent(), 2u);
  const int row = CSizeStrip::kRowHeight;
  ::SendMessageW(strip.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 2 + row + row / 2));
  PumpFor(20);
  EXPECT_EQ(dlg.GetImage().GetWidth(), 32u);
  EXPECT_EQ(strip.GetCurrent(), 1u);
  // The column's buttons zoom and switch the checkerboard.
  const int fit = dlg.GetCanvas().GetZoom();
  dlg.ButtonClicked("ZOOM_IN");
  EXPECT_GT(dlg.GetCanvas().GetZoom(), fit);
  dlg.ButtonClicked("ZOOM_FIT");
  EXPECT_EQ(dlg.GetCanvas().GetZoom(), fit);
  EXPECT_TRUE(dlg.Latched("SHOW_CHECKER"));
  dlg.ButtonClicked("SHOW_CHECKER");
  EXPECT_FALSE(dlg.Latched("SHOW_CHECKER"));
  EXPECT_TRUE(dlg.GetCanvas().GetShowTransparentColor());
  const HWND focus = dlg.FindButton("TOOL_PEN")->GetHwnd();
  PressKey(dlg.GetHwnd(), focus, VK_PRIOR);
  ASSERT_EQ(dlg.GetImage().GetWidth(), 16u);
  EXPECT_EQ(At(dlg.GetImage(), 0, 0) & 0xFFFFFF, 0xFF0000u);
  Dot(dlg, 1, 1);
  EXPECT_EQ(At(dlg.GetImage(), 1, 1) & 0xFFFFFF, 0u);

  PressKey(dlg.GetHwnd(), focus, VK_DELETE, true);
  EXPECT_EQ(dlg.GetDocument().Count(), 2u);
  EXPECT_EQ(dlg.GetImage().GetWidth(), 32u);
  PressKey(dlg.GetHwnd(), focus, 'Z', true);
  ASSERT_EQ(dlg.GetDocument().Count(), 3u);
  ASSERT_EQ(dlg.GetImage().GetWidth(), 16u);
  EXPECT_EQ(At(dlg.GetImage(), 1, 1) & 0xFFFFFF, 0u);

  // Ctrl+Ins offers the standard sizes the icon lacks; the 20 is made
  // from the 32, a flat green that stays exact.
  dlg.newSide = 20;
  PressKey(dlg.GetHwnd(), focus, VK_INSERT, true);
  EXPECT_EQ(dlg.offeredSizes, (std::vector<int>{20, 24, 40, 64, 256}));
  ASSERT_EQ(dlg.GetImage().GetWidth(), 20u);
  EXPECT_EQ(At(dlg.GetImage(), 10, 10), 0xFF00FF00u);
  PressKey(dlg.GetHwnd(), focus, 'Z', true);
  ASSERT_EQ(dlg.GetDocument().Count(), 3u);

  ASSERT_TRUE(dlg.SaveBack());
  EXPECT_EQ(dlg.saveDialogs, 0);
  const std::string saved = ReadAll(path);
  const icon::DocumentRead read =
      icon::ReadDocument(std::span(reinterpret_cast<const uint8_t*>(saved.data()), saved.size()));
  ASSERT_TRUE(read.Ok()) << read.error;
  ASSERT_EQ(read.document.images.size(), 3u);
  for (const icon::IconDocumentImage& image : read.document.images) {
    const uint8_t* corner = image.pixels.pixels.data() + (image.pixels.width + 1) * 4;
    const bool edited = image.pixels.width == 16;
    EXPECT_EQ(corner[0] == 0 && corner[1] == 0 && corner[2] == 0, edited) << image.pixels.width;
  }
}

// On a monitor of another scale the window's own controls follow the
// skin: the canvas, the colour fields and the strip, whose rows grow too.
TEST_F(MainDialogTest, OwnControlsFollowTheSkinsScale) {
  const std::wstring path =
      Write(L"scaled.ico", IconOfSizes({{16, 0xFF0000}, {32, 0x00FF00}, {48, 0x0000FF}}));
  TestMainDialog dlg(path);
  ASSERT_TRUE(dlg.Open());
  ASSERT_EQ(dlg.Scale(), 100);  // the test display's 96 dpi
  auto place = [&dlg](int id) {
    RECT r;
    ::GetWindowRect(::GetDlgItem(dlg.GetHwnd(), id), &r);
    ::MapWindowPoints(nullptr, dlg.GetHwnd(), reinterpret_cast<POINT*>(&r), 2);
    return skin::SkinRect{r.left, r.top, r.right, r.bottom};
  };
  const int ids[] = {IDC_CANVAS, IDC_BRUSH_WELL, IDC_TRANSP_WELL, IDC_PREVIEW, IDC_SIZE_STRIP};
  std::vector<skin::SkinRect> before;
  for (int id : ids) before.push_back(place(id));
  const int fit = dlg.GetCanvas().GetZoom();
  RECT suggested{50, 40, 50 + 720, 40 + 612};
  ::SendMessageW(dlg.GetHwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  PumpFor(20);
  for (size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(place(ids[i]), skin::ScaleRect(before[i], 150)) << ids[i];
  EXPECT_GT(dlg.GetCanvas().GetZoom(), fit);
  EXPECT_TRUE(dlg.Latched("TOOL_PEN"));
  CSizeStrip& strip = dlg.GetSizeStrip();
  ASSERT_EQ(strip.RowHeight(), 42);
  ::SendMessageW(strip.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 3 + 42 + 21));
  PumpFor(20);
  EXPECT_EQ(dlg.GetImage().GetWidth(), 32u);
}

// Save As of a whole icon stores every size as the dialog's lists say:
// here 8-bit bitmaps and no PNG, the 256 included. A size in the
// transparent colour is left out by the mask, as in every mask-only image.
TEST_F(MainDialogTest, SaveAsStoresEverySizeAsChosen) {
  const std::wstring path =
      Write(L"options.ico", IconOfSizes({{16, 0xC0C0C0}, {32, 0x00FF00}, {256, 0x0000FF}}));
  TestMainDialog dlg(path);
  ASSERT_TRUE(dlg.Open());
  const std::wstring saved = dir_ + L"\\chosen.ico";
  files_.push_back(saved);
  dlg.onSaveShown = [&](HWND d) {
    for (HWND child = ::GetWindow(d, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (HWND bits = ::GetDlgItem(child, IDC_ICON_BITS)) ::SendMessageW(bits, CB_SETCURSEL, 2, 0);
      if (HWND png = ::GetDlgItem(child, IDC_PNG_FROM)) ::SendMessageW(png, CB_SETCURSEL, 5, 0);
    }
    TypeAndSave(-1, saved)(d);
  };
  ASSERT_TRUE(dlg.SaveAs());
  // Saving back afterwards keeps what was chosen.
  ::DeleteFileW(saved.c_str());
  ASSERT_TRUE(dlg.SaveBack());
  const std::string bytes = ReadAll(saved);
  const icon::DocumentRead read =
      icon::ReadDocument(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  ASSERT_TRUE(read.Ok()) << read.error;
  ASSERT_EQ(read.document.images.size(), 3u);
  for (const icon::IconDocumentImage& image : read.document.images) {
    EXPECT_EQ(image.storage, icon::IconStorage::kBmp) << image.pixels.width;
    EXPECT_EQ(image.bits, 8) << image.pixels.width;
    const uint8_t alpha = image.pixels.pixels[3];
    EXPECT_EQ(alpha, image.pixels.width == 16 ? 0 : 255) << image.pixels.width;
  }
}

// The preview shows every size at its real size, over light and dark, as
// the platform draws the icon: half-transparent red mixes with each ground.
TEST_F(MainDialogTest, PreviewShowsEverySizeOnLightAndDark) {
  const std::wstring path = Write(L"preview.ico", IconOfSizes({{16, 0x80FF0000}, {48, 0x0000FF}}));
  TestMainDialog dlg(path);
  ASSERT_TRUE(dlg.Open());
  PressKey(dlg.GetHwnd(), dlg.FindButton("TOOL_PEN")->GetHwnd(), VK_F6);
  CSizesPreview& preview = dlg.GetSizesPreview();
  ASSERT_TRUE(preview.IsOpen());
  ASSERT_EQ(preview.GetIconCount(), 2u);
  ::UpdateWindow(preview.GetHwnd());
  PumpFor(50);
  WindowDC dc(preview.GetHwnd());
  const auto centre = [&](const RECT& r) {
    return ::GetPixel(dc.Get(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  const COLORREF light = centre(preview.LightPlace(0)), dark = centre(preview.DarkPlace(0));
  EXPECT_NEAR(GetRValue(light), 255, 2);
  EXPECT_NEAR(GetGValue(light), 127, 3);
  EXPECT_NEAR(GetRValue(dark), 144, 3);
  EXPECT_NEAR(GetGValue(dark), 16, 3);
  EXPECT_EQ(centre(preview.LightPlace(1)), RGB(0, 0, 255));
  EXPECT_EQ(preview.LightPlace(1).right - preview.LightPlace(1).left, 48);
}

}  // namespace
}  // namespace glyph
