// The skinned dialog under Wine: loading the default skin from the "Skin"
// folder, descriptions with odd entries, window shapes, notifications by
// name and the dialog's own mouse handling.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>

#include "SkinTestUtil.h"
#include "framework/Profile.h"
#include "skin/SkinDialog.h"
#include "skin/SkinGeometry.h"
#include "tests/common/GuiTest.h"

namespace glyph::skin {
namespace {

using glyph::test::PumpFor;
using test::At;
using test::BitmapPixel;
using test::RecordingPrompt;
using test::ScreenPixel;

constexpr UINT kTemplate = 102;
constexpr UINT kMenu = 141;

class TestSkinDialog : public CSkinDialog {
 public:
  TestSkinDialog() : CSkinDialog(kTemplate) {}
  ~TestSkinDialog() override { DestroyWindow(); }
  std::vector<std::string> events;
  std::vector<std::string> moves;
  std::map<std::string, std::string> profile;
  int menus = 0;
  int menuItems = 0;
  int dpi = 96;

  void ButtonClicked(const std::string& name) override { events.push_back("button " + name); }
  void TrackbarNotify(const std::string& name, int code, int position) override {
    events.push_back("trackbar " + name + " " + std::to_string(code) + " " + std::to_string(position));
  }
  void TextClicked(const std::string& name) override { events.push_back("text " + name); }
  void ProgressNotify(const std::string& name) override { events.push_back("progress " + name); }
  void SkinMouseMove(const std::string& name, UINT, POINT) override { moves.push_back(name); }

  bool Open(const std::string& description) {
    SetSkinSource(description, nullptr);
    if (!CreateModeless(nullptr)) return false;
    ::SetWindowPos(GetHwnd(), HWND_TOP, test::kScreenLeft, test::kScreenTop, 0, 0, SWP_NOSIZE);
    test::Activate(GetHwnd());
    PumpFor(20);
    return true;
  }

 protected:
  std::string ReadProfileString(const char* section, const char* key) override {
    auto it = profile.find(std::string(section) + "/" + key);
    return it == profile.end() ? std::string() : it->second;
  }
  void TrackContextMenu(HMENU menu, POINT) override {
    ++menus;
    menuItems = ::GetMenuItemCount(menu);
  }
  int WindowDpi() override { return dpi; }
};

void WriteFile(const std::string& path, const std::string& bytes) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  std::ofstream(path, std::ios::binary) << bytes;
}

// A 60 x 40 mask: white outside a 40 x 20 black block at (10, 10).
std::string BlockMask() {
  return test::MakeBmp(60, 40, [](int x, int y) {
    return (x >= 10 && x < 50 && y >= 10 && y < 30) ? RGB(0, 0, 0) : RGB(255, 255, 255);
  });
}

int ChildCount(HWND hwnd) {
  int n = 0;
  for (HWND c = ::GetWindow(hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) ++n;
  return n;
}

class SkinDialogTest : public ::testing::Test {
 protected:
  // A real pointer resting over a test window moves its hover: far from them.
  void SetUp() override { ::SetCursorPos(1200, 1000); }

  TestSkinDialog dlg;
  RecordingPrompt prompt{dlg.Context()};
};

TEST_F(SkinDialogTest, LoadsTheDefaultSkinFromTheSkinFolder) {
  // The test program carries no archive: every name comes from .\Skin.
  ASSERT_TRUE(dlg.Open("Skin\\skin.ini"));
  HWND h = dlg.GetHwnd();
  EXPECT_TRUE(prompt.shown.empty());
  char self[1024] = {};
  ::GetModuleFileNameA(nullptr, self, sizeof self);
  EXPECT_EQ(dlg.ArchivePath(), self);

  RECT rc;
  ::GetClientRect(h, &rc);
  EXPECT_EQ(rc.right, 480);
  EXPECT_EQ(rc.bottom, 408);
  ASSERT_EQ(dlg.Buttons().size(), 28u);
  ASSERT_EQ(dlg.Texts().size(), 3u);
  ASSERT_EQ(dlg.Trackbars().size(), 2u);
  EXPECT_TRUE(dlg.ProgressBars().empty());
  EXPECT_EQ(ChildCount(h), 33);
  const char* names[] = {"BUTTON_EXIT",  "BUTTON_MINIMIZE", "BUTTON_HELP",       "BUTTON_LOAD",   "QaS",
                         "TOOL_UNDO",    "TOOL_PHOTO",      "TOOL_PEN",          "TOOL_LINE",     "TOOL_RECT",
                         "TOOL_ELLIPSE", "TOOL_FILL_RECT",  "TOOL_FILL_ELLIPSE", "TOOL_FILL",     "TOOL_PICK",
                         "TOOL_TEXT",    "TOOL_BLUR",       "TOOL_CLEAR",        "TOOL_BLUR_ALL", "SIZE_ADD",
                         "SIZE_REMOVE",  "SIZES_MAKE",      "ZOOM_IN",           "ZOOM_OUT",      "ZOOM_FIT",
                         "TOOL_ERASER",  "SHOW_CHECKER",    "PREVIEW_SIZES"};
  for (int i = 0; i < 28; ++i) {
    EXPECT_EQ(dlg.Buttons()[i]->Name(), names[i]);
    EXPECT_EQ(dlg.Buttons()[i]->Index(), i);
    const bool latches =
        (i >= 7 && i <= 16) || i == 25 || i == 26;  // the tools, the eraser and the checkerboard
    EXPECT_EQ(dlg.Buttons()[i]->IsToggleStyle(), latches) << names[i];
  }
  RECT r;
  ::GetWindowRect(dlg.FindButton("TOOL_RECT")->GetHwnd(), &r);
  ::MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 13);
  EXPECT_EQ(r.top, 171);
  EXPECT_EQ(r.right - r.left, 36);
  EXPECT_EQ(r.bottom - r.top, 35);

  CSkinTrackbar* size = dlg.FindTrackbar("TRACKBAR_SIZE");
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(::SendMessageA(size->GetHwnd(), TBM_GETRANGEMAX, 0, 0), 13);
  EXPECT_EQ(::SendMessageA(dlg.FindTrackbar("TRACKBAR_TRANSP")->GetHwnd(), TBM_GETRANGEMAX, 0, 0), 256);
  EXPECT_EQ(size->GetPosition(), 0);
  ASSERT_TRUE(size->GetTooltip());

  CSkinText* brush = dlg.FindText("BRUSH_COLOR");
  ASSERT_NE(brush, nullptr);
  LOGFONTA lf{};
  ::GetObjectA(brush->Font(), sizeof lf, &lf);
  EXPECT_STREQ(lf.lfFaceName, "Verdana");
  EXPECT_EQ(lf.lfHeight, -14);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_FALSE(lf.lfItalic);
  EXPECT_TRUE(brush->Text().empty());

  // The shape: the mask's white corners are outside the window.
  UniqueRegion rgn(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(::GetWindowRgn(h, rgn.Get()), COMPLEXREGION);
  EXPECT_FALSE(::PtInRegion(rgn.Get(), 0, 0));
  EXPECT_FALSE(::PtInRegion(rgn.Get(), 20, 5));  // the step above the tool pod
  EXPECT_FALSE(::PtInRegion(rgn.Get(), 399, 407));
  EXPECT_TRUE(::PtInRegion(rgn.Get(), 200, 200));
  EXPECT_TRUE(::PtInRegion(rgn.Get(), 30, 60));
}

// The hover picture decodes while the window opens and is taken once the
// window has painted; a button hovered sooner takes it at once.
TEST_F(SkinDialogTest, TheHoverPictureIsTakenWhenIdleOrWhenAButtonNeedsIt) {
  UniqueBitmap over;
  ASSERT_TRUE(LoadSkinPicture(dlg.Context(), "Skin\\over.jpg", over, nullptr));
  dlg.SetSkinSource("Skin\\skin.ini", nullptr);
  ASSERT_TRUE(dlg.CreateModeless(nullptr));
  test::Activate(dlg.GetHwnd());
  ASSERT_EQ(dlg.OverBitmap(), nullptr);
  CSkinButton* line = dlg.FindButton("TOOL_LINE");
  ASSERT_NE(line, nullptr);
  ::SendMessageA(line->GetHwnd(), WM_MOUSEMOVE, 0, At(18, 17));
  EXPECT_TRUE(line->IsHot());
  EXPECT_NE(dlg.OverBitmap(), nullptr);
  EXPECT_EQ(ScreenPixel(line->GetHwnd(), 18, 17), BitmapPixel(over.Get(), 49 + 18, 137 + 17));

  TestSkinDialog idle;
  idle.SetSkinSource("Skin\\skin.ini", nullptr);
  ASSERT_TRUE(idle.CreateModeless(nullptr));
  EXPECT_TRUE(glyph::test::PumpUntil([&] { return idle.OverBitmap() != nullptr; }));
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SkinDialogTest, ButtonsShowTheSkinsPictures) {
  ASSERT_TRUE(dlg.Open("Skin\\skin.ini"));
  UniqueBitmap main, over, down;
  ASSERT_TRUE(LoadSkinPicture(dlg.Context(), "Skin\\main.jpg", main, nullptr));
  ASSERT_TRUE(LoadSkinPicture(dlg.Context(), "Skin\\over.jpg", over, nullptr));
  ASSERT_TRUE(LoadSkinPicture(dlg.Context(), "Skin\\down.jpg", down, nullptr));
  CSkinButton* line = dlg.FindButton("TOOL_LINE");
  ASSERT_NE(line, nullptr);
  HWND b = line->GetHwnd();
  // (49, 137) is the button's corner in the window; (18, 17) its middle.
  auto skin = [](const UniqueBitmap& bmp) { return BitmapPixel(bmp.Get(), 49 + 18, 137 + 17); };
  ASSERT_NE(skin(main), skin(over));
  EXPECT_EQ(ScreenPixel(b, 18, 17), skin(main));
  test::Activate(dlg.GetHwnd());
  ::SendMessageA(b, WM_MOUSEMOVE, 0, At(18, 17));
  EXPECT_TRUE(line->IsHot());
  EXPECT_EQ(ScreenPixel(b, 18, 17), skin(over));
  ::SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(18, 17));
  EXPECT_EQ(ScreenPixel(b, 18, 17), skin(down));
  ::SendMessageA(b, WM_LBUTTONUP, 0, At(18, 17));
  EXPECT_EQ(dlg.events, std::vector<std::string>{"button TOOL_LINE"});
  dlg.SetButtonLatched("TOOL_PEN", true);
  EXPECT_TRUE(dlg.FindButton("TOOL_PEN")->IsLatched());
  EXPECT_EQ(ScreenPixel(dlg.FindButton("TOOL_PEN")->GetHwnd(), 18, 17),
            BitmapPixel(down.Get(), 13 + 18, 137 + 17));
  // The background is the Main picture.
  EXPECT_EQ(ScreenPixel(dlg.GetHwnd(), 200, 20), BitmapPixel(main.Get(), 200, 20));

  // For the record: the dialog as the screen shows it, hovering TOOL_LINE,
  // pressing TOOL_PEN's neighbour and with the size slider moved.
  if (const char* dir = std::getenv("GLYPH_SKIN_SHOT")) {
    CSkinTrackbar* size = dlg.FindTrackbar("TRACKBAR_SIZE");
    ::SendMessageA(size->GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 6));
    ::SendMessageA(size->GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, At(50, 6));
    ::SendMessageA(size->GetHwnd(), WM_LBUTTONUP, 0, At(50, 6));
    ::SendMessageA(dlg.FindButton("TOOL_RECT")->GetHwnd(), BM_SETSTATE, TRUE, 0);  // shown pressed
    ::SendMessageA(b, WM_MOUSEMOVE, 0, At(18, 17));                                // TOOL_LINE hovered
    // Time for an outside screen grab (xwd) of the shaped window.
    PumpFor(static_cast<DWORD>(
        std::atoi(std::getenv("GLYPH_SKIN_SHOT_MS") ? std::getenv("GLYPH_SKIN_SHOT_MS") : "200")));
    ::ReleaseCapture();
    const glyph::test::ClientPixels px = glyph::test::CaptureClient(dlg.GetHwnd());
    WriteFile(std::string(dir) + "\\skin_dialog.bmp", test::MakeBmp(px.width, px.height, [&px](int x, int y) {
                const DWORD p = px.At(x, y);
                return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
              }));
  }
}

RECT PlaceInParent(HWND control) {
  RECT r;
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The default skin at the scales of today's displays: its size, shape,
// controls and fonts scaled from the description, its pictures from the
// art drawn for the scale (resampled from the nearest above it at 125 %).
TEST_F(SkinDialogTest, LaysItselfOutAtTheDisplaysScale) {
  const struct {
    int dpi, scale;
    const char* art;  // the picture the screen comes from, as it is
  } kScales[] = {{144, 150, "Skin\\main@1.5x.jpg"}, {192, 200, "Skin\\main@2x.jpg"}, {120, 125, nullptr}};
  for (const auto& c : kScales) {
    SCOPED_TRACE(c.dpi);
    TestSkinDialog scaled;
    RecordingPrompt quiet(scaled.Context());
    scaled.dpi = c.dpi;
    ASSERT_TRUE(scaled.Open("Skin\\skin.ini"));
    EXPECT_EQ(scaled.Scale(), c.scale);
    RECT client;
    ::GetClientRect(scaled.GetHwnd(), &client);
    EXPECT_EQ(client.right, ScaleLength(480, c.scale));
    EXPECT_EQ(client.bottom, ScaleLength(408, c.scale));
    const RECT rect = PlaceInParent(scaled.FindButton("TOOL_RECT")->GetHwnd());
    EXPECT_EQ((SkinRect{rect.left, rect.top, rect.right, rect.bottom}),
              ScaleRect({13, 171, 49, 206}, c.scale));
    const RECT slider = PlaceInParent(scaled.FindTrackbar("TRACKBAR_SIZE")->GetHwnd());
    EXPECT_EQ(slider.bottom - slider.top, ScaleLength(12, c.scale));
    LOGFONTA lf{};
    ::GetObjectA(scaled.FindText("BRUSH_COLOR")->Font(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, ScaleLength(-14, c.scale));
    UniqueRegion rgn(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(::GetWindowRgn(scaled.GetHwnd(), rgn.Get()), COMPLEXREGION);
    EXPECT_FALSE(::PtInRegion(rgn.Get(), ScaleLength(20, c.scale), ScaleLength(5, c.scale)));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), ScaleLength(200, c.scale), ScaleLength(200, c.scale)));
    EXPECT_TRUE(quiet.shown.empty());
    if (!c.art) continue;
    SkinContext plain;
    UniqueBitmap art;
    ASSERT_TRUE(LoadSkinPicture(plain, c.art, art, nullptr));
    const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    EXPECT_EQ(
        ScreenPixel(scaled.FindButton("TOOL_RECT")->GetHwnd(), middle.x - rect.left, middle.y - rect.top),
        BitmapPixel(art.Get(), middle.x, middle.y));
  }
  // A skin drawn at one scale only is resampled: the same window, larger.
  WriteFile("SkinOneScale\\main.bmp", BlockMask());
  WriteFile("SkinOneScale\\skin.ini", "[Screen]\r\nMain=main.bmp\r\n");
  dlg.dpi = 192;
  ASSERT_TRUE(dlg.Open("SkinOneScale\\skin.ini"));
  RECT client;
  ::GetClientRect(dlg.GetHwnd(), &client);
  EXPECT_EQ(client.right, 120);
  EXPECT_EQ(client.bottom, 80);
  UniqueRegion rgn(::CreateRectRgn(0, 0, 0, 0));
  ::GetWindowRgn(dlg.GetHwnd(), rgn.Get());
  EXPECT_TRUE(::PtInRegion(rgn.Get(), 50, 40));
  EXPECT_FALSE(::PtInRegion(rgn.Get(), 10, 10));
}

// Moved to a monitor of another scale, the window lays itself out again in
// place: the same controls in the same state, at the new scale.
TEST_F(SkinDialogTest, MovesToAMonitorOfAnotherScale) {
  ASSERT_TRUE(dlg.Open("Skin\\skin.ini"));
  CSkinButton* pen = dlg.FindButton("TOOL_PEN");
  HWND penWindow = pen->GetHwnd();
  pen->SetLatched(true);
  pen->SetPressAndRelease(true);
  dlg.FindTrackbar("TRACKBAR_SIZE")->SetRangeAndPosition(0, 13, 5);
  RECT suggested{200, 150, 200 + 960, 150 + 816};
  ::SendMessageA(dlg.GetHwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  PumpFor(20);
  EXPECT_EQ(dlg.Scale(), 200);
  RECT window;
  ::GetWindowRect(dlg.GetHwnd(), &window);
  EXPECT_EQ(window.left, 200);
  EXPECT_EQ(window.top, 150);
  EXPECT_EQ(window.right - window.left, 960);
  EXPECT_EQ(window.bottom - window.top, 816);
  ASSERT_EQ(dlg.FindButton("TOOL_PEN"), pen);
  EXPECT_EQ(pen->GetHwnd(), penWindow);
  EXPECT_TRUE(pen->IsLatched());
  EXPECT_TRUE(pen->PressAndRelease());
  EXPECT_EQ(dlg.FindTrackbar("TRACKBAR_SIZE")->GetPosition(), 5);
  const RECT r = PlaceInParent(penWindow);
  EXPECT_EQ((SkinRect{r.left, r.top, r.right, r.bottom}), ScaleRect({13, 137, 49, 171}, 200));
  SkinContext plain;
  UniqueBitmap down;
  ASSERT_TRUE(LoadSkinPicture(plain, "Skin\\down@2x.jpg", down, nullptr));
  EXPECT_EQ(ScreenPixel(penWindow, 36, 34), BitmapPixel(down.Get(), r.left + 36, r.top + 34));
  EXPECT_EQ(ChildCount(dlg.GetHwnd()), 33);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SkinDialogTest, NotificationsArriveByName) {
  ASSERT_TRUE(dlg.Open("Skin\\skin.ini"));
  HWND save = dlg.FindButton("QaS")->GetHwnd();
  ::SendMessageA(save, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  ::SendMessageA(save, WM_LBUTTONUP, 0, At(5, 5));
  HWND brush = dlg.FindText("BRUSH_COLOR")->GetHwnd();
  ::SendMessageA(brush, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  ::SendMessageA(brush, WM_LBUTTONUP, 0, At(5, 5));
  HWND size = dlg.FindTrackbar("TRACKBAR_SIZE")->GetHwnd();
  ::SendMessageA(size, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 6));  // on the thumb at position 0
  ::SendMessageA(size, WM_MOUSEMOVE, MK_LBUTTON, At(200, 6));
  ::SendMessageA(size, WM_LBUTTONUP, 0, At(200, 6));
  ASSERT_GE(dlg.events.size(), 4u);
  EXPECT_EQ(dlg.events[0], "button QaS");
  EXPECT_EQ(dlg.events[1], "text BRUSH_COLOR");
  EXPECT_EQ(dlg.events[2], "trackbar TRACKBAR_SIZE 4 13");
  EXPECT_EQ(dlg.events[3], "trackbar TRACKBAR_SIZE 8 13");
  dlg.events.clear();
  dlg.ButtonClickedByIndex(28);  // no such button
  dlg.TrackbarNotifyByIndex(-1, 8, 0);
  dlg.TextClickedByIndex(3);
  dlg.ProgressNotifyByIndex(0);
  EXPECT_TRUE(dlg.events.empty());
  dlg.ButtonClickedByIndex(0);
  EXPECT_EQ(dlg.events, std::vector<std::string>{"button BUTTON_EXIT"});

  ::SendMessageA(dlg.FindButton("TOOL_PEN")->GetHwnd(), WM_MOUSEMOVE, 0, At(3, 3));
  ::SendMessageA(dlg.GetHwnd(), WM_MOUSEMOVE, 0, At(200, 20));
  ASSERT_GE(dlg.moves.size(), 2u);
  EXPECT_EQ(dlg.moves[dlg.moves.size() - 2], "TOOL_PEN");
  EXPECT_EQ(dlg.moves.back(), "");  // the background has no name

  dlg.SetTrackbarTooltip("TRACKBAR_TRANSP", "50 %");
  dlg.SetTrackbarTooltip("NO_SUCH", "x");
  dlg.SetButtonLatched("NO_SUCH", true);
  EXPECT_EQ(dlg.FindButton("tool_pen"), nullptr);  // names are case-sensitive
}

TEST_F(SkinDialogTest, LoadingTwiceLeavesOneSetOfControls) {
  ASSERT_TRUE(dlg.Open("Skin\\skin.ini"));
  HWND first = dlg.Buttons()[0]->GetHwnd();
  HWND tip = dlg.Buttons()[0]->GetTooltip();
  dlg.LoadSkin();
  PumpFor(10);
  EXPECT_FALSE(::IsWindow(first));
  EXPECT_FALSE(::IsWindow(tip));
  EXPECT_EQ(dlg.Buttons().size(), 28u);
  EXPECT_EQ(ChildCount(dlg.GetHwnd()), 33);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SkinDialogTest, OddEntriesOfADescription) {
  WriteFile("SkinOdd\\main.bmp", test::SolidBmp(60, 40, RGB(30, 60, 90)));
  WriteFile("SkinOdd\\mask.bmp", BlockMask());
  WriteFile("SkinOdd\\t.bmp", test::SolidBmp(4, 4, RGB(200, 0, 0)));
  WriteFile("SkinOdd\\skin.ini",
            "[Screen]\r\nMain=main.bmp\r\nMask=mask.bmp\r\n"
            "[BUTTONINFO]\r\n1=A,1,2,3,4\r\n2=B,010,0x10,5,6,Tip,True\r\n4=D,1,1,1,1,never,FALSE\r\n"
            "[TRACKBARINFO]\r\n1=V,t.bmp,t.bmp,0,0,8,30,Vertical,3,20\r\n"
            "[TEXTINFO]\r\n1=L,Arial,TRUE,,12,255,-1,1,1,20,10,Hi,x\r\n"
            "[PROGRESSINFO]\r\n1=P,Level,0,30,60,10,Horizontal\r\n");
  ASSERT_TRUE(dlg.Open("SkinOdd\\skin.ini"));
  ASSERT_EQ(dlg.Buttons().size(), 2u);  // key 3 is missing, so key 4 is never read
  CSkinButton* a = dlg.FindButton("A");
  RECT r;
  ::GetWindowRect(a->GetHwnd(), &r);
  ::MapWindowPoints(nullptr, dlg.GetHwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.right, 4);
  EXPECT_EQ(r.bottom, 6);
  EXPECT_FALSE(a->IsToggleStyle());
  CSkinButton* b = dlg.FindButton("B");
  ::GetWindowRect(b->GetHwnd(), &r);
  ::MapWindowPoints(nullptr, dlg.GetHwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 8);  // octal
  EXPECT_EQ(r.top, 16);  // hexadecimal
  EXPECT_TRUE(b->IsToggleStyle());

  CSkinTrackbar* v = dlg.FindTrackbar("V");
  ASSERT_NE(v, nullptr);
  EXPECT_NE(::GetWindowLongPtrA(v->GetHwnd(), GWL_STYLE) & TBS_VERT, 0);
  EXPECT_EQ(v->GetPosition(), 3);
  // The missing tooltip repeats the maximum's text.
  EXPECT_EQ(glyph::test::TooltipText(v->GetTooltip(), v->GetHwnd()), "20");

  CSkinText* l = dlg.FindText("L");
  LOGFONTA lf{};
  ::GetObjectA(l->Font(), sizeof lf, &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_EQ(lf.lfHeight, 12);
  EXPECT_EQ(l->Text(), "Hi");
  ASSERT_EQ(dlg.ProgressBars().size(), 1u);
  EXPECT_TRUE(dlg.ProgressBars()[0]->AlongHeight());

  // The window is the mask's size and its shape the mask's black block.
  RECT rc;
  ::GetClientRect(dlg.GetHwnd(), &rc);
  EXPECT_EQ(rc.right, 60);
  EXPECT_EQ(rc.bottom, 40);
  UniqueRegion rgn(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(::GetWindowRgn(dlg.GetHwnd(), rgn.Get()), SIMPLEREGION);
  RECT box;
  ::GetRgnBox(rgn.Get(), &box);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.top, 10);
  EXPECT_EQ(box.right, 50);
  EXPECT_EQ(box.bottom, 30);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SkinDialogTest, WithoutAMaskKeyTheMainPictureShapes) {
  WriteFile("SkinNoMask\\main.bmp", BlockMask());
  WriteFile("SkinNoMask\\skin.ini", "[Screen]\r\nMain=main.bmp\r\n");
  ASSERT_TRUE(dlg.Open("SkinNoMask\\skin.ini"));
  UniqueRegion rgn(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(::GetWindowRgn(dlg.GetHwnd(), rgn.Get()), SIMPLEREGION);
  EXPECT_TRUE(::PtInRegion(rgn.Get(), 20, 20));
  EXPECT_FALSE(::PtInRegion(rgn.Get(), 5, 5));
}

TEST_F(SkinDialogTest, AnAllWhiteMaskHidesTheWindow) {
  WriteFile("SkinWhite\\main.bmp", test::SolidBmp(60, 40, RGB(1, 2, 3)));
  WriteFile("SkinWhite\\mask.bmp", test::SolidBmp(60, 40, RGB(255, 255, 255)));
  WriteFile("SkinWhite\\skin.ini", "[Screen]\r\nMain=main.bmp\r\nMask=mask.bmp\r\n");
  ASSERT_TRUE(dlg.Open("SkinWhite\\skin.ini"));
  UniqueRegion rgn(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(dlg.GetHwnd(), rgn.Get()), NULLREGION);
  EXPECT_TRUE(::IsWindow(dlg.GetHwnd()));
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SkinDialogTest, AnUnreadableMaskIsReportedOnce) {
  WriteFile("SkinBroken\\skin.ini", "[Screen]\r\nMain=missing.jpg\r\n[BUTTONINFO]\r\n1=A,1,2,3,4,a,F\r\n");
  ASSERT_TRUE(dlg.Open("SkinBroken\\skin.ini"));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].caption, "Hata");
  EXPECT_EQ(prompt.shown[0].text, "Resimden Region Olu\xA6turulamad\xA4");
  UniqueRegion rgn(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(dlg.GetHwnd(), rgn.Get()), ERROR);  // still rectangular
  RECT rc;
  ::GetClientRect(dlg.GetHwnd(), &rc);
  EXPECT_GT(rc.right, 300);             // the template's size stays
  EXPECT_EQ(dlg.Buttons().size(), 1u);  // the controls exist, with empty pictures
  EXPECT_EQ(dlg.MainBitmap(), nullptr);
}

TEST_F(SkinDialogTest, AnUnreadableDescriptionGivesNoControls) {
  ASSERT_TRUE(dlg.Open("Nowhere\\skin.ini"));
  EXPECT_TRUE(dlg.Buttons().empty());
  EXPECT_TRUE(dlg.Trackbars().empty());
  EXPECT_EQ(dlg.MainBitmap(), nullptr);
  ASSERT_EQ(prompt.shown.size(), 1u);  // no mask: the window shape fails
  EXPECT_EQ(prompt.shown[0].caption, "Hata");
}

TEST_F(SkinDialogTest, ProfileOffsetsRecolourTheSkin) {
  WriteFile("SkinHls\\main.bmp", test::SolidBmp(60, 40, RGB(200, 30, 30)));
  WriteFile("SkinHls\\over.bmp", test::SolidBmp(60, 40, RGB(30, 200, 30)));
  WriteFile("SkinHls\\skin.ini",
            "[Screen]\r\nMain=main.bmp\r\nOver=over.bmp\r\nDisabled=main.bmp\r\n"
            "[BUTTONINFO]\r\n1=A,0,0,10,10,a,F\r\n");
  dlg.profile["Skin/Lum"] = "  1.0junk";
  ASSERT_TRUE(dlg.Open("SkinHls\\skin.ini"));
  EXPECT_EQ(BitmapPixel(dlg.MainBitmap(), 5, 5), RGB(255, 255, 255));
  // Adjusted piece by piece, so the disabled picture is not the adjusted main one.
  EXPECT_EQ(BitmapPixel(dlg.OverBitmap(), 5, 5), RGB(30, 200, 30));
  EXPECT_EQ(BitmapPixel(dlg.DisabledBitmap(), 5, 5), RGB(200, 30, 30));
  dlg.profile["Skin/Lum"] = "not a number";
  dlg.LoadSkin();
  EXPECT_EQ(BitmapPixel(dlg.MainBitmap(), 5, 5), RGB(200, 30, 30));
  EXPECT_EQ(dlg.DisabledBitmap(), dlg.MainBitmap());  // not recoloured: the same picture
}

// A dialog whose skin comes from an archive of its own.
class ArchiveSkinDialog : public TestSkinDialog {
 public:
  std::map<std::string, std::string> items;

 protected:
  std::unique_ptr<SkinArchive> OpenArchive(const std::string&) override {
    auto archive = std::make_unique<test::MemoryArchive>();
    archive->items = items;
    return archive;
  }
};

TEST_F(SkinDialogTest, TwoDialogsKeepTheirOwnArchiveOffsetsAndPrompt) {
  ArchiveSkinDialog red, blue;
  RecordingPrompt redPrompt(red.Context()), bluePrompt(blue.Context());
  red.items["skin.ini"] = "[Screen]\r\nMain=main.bmp\r\n";
  red.items["main.bmp"] = test::SolidBmp(60, 40, RGB(200, 30, 30));
  red.profile["Skin/Lum"] = "1";
  // The same names, other pictures, and a mask that cannot be read.
  blue.items["skin.ini"] = "[Screen]\r\nMain=main.bmp\r\nMask=none.bmp\r\n";
  blue.items["main.bmp"] = test::SolidBmp(60, 40, RGB(30, 30, 200));
  ASSERT_TRUE(red.Open("skin.ini"));
  ASSERT_TRUE(blue.Open("skin.ini"));
  red.LoadSkin();  // again, while the other one is open
  EXPECT_EQ(BitmapPixel(red.MainBitmap(), 5, 5), RGB(255, 255, 255));
  EXPECT_EQ(BitmapPixel(blue.MainBitmap(), 5, 5), RGB(30, 30, 200));
  EXPECT_EQ(red.Context().Offsets().lightness, 1.0);
  EXPECT_EQ(blue.Context().Offsets().lightness, 0.0);
  EXPECT_TRUE(redPrompt.shown.empty());
  ASSERT_EQ(bluePrompt.shown.size(), 1u);
  EXPECT_EQ(bluePrompt.shown[0].caption, "Hata");
  // Each archive is open only while its own load runs.
  EXPECT_EQ(red.Context().Archive(), nullptr);
  EXPECT_EQ(blue.Context().Archive(), nullptr);
}

// The hover picture may be taken after the load, when the archive is
// closed: one shared with another screen must still come from the archive.
TEST_F(SkinDialogTest, AHoverPictureSharedWithTheMainOneComesFromTheArchive) {
  ArchiveSkinDialog shared;
  RecordingPrompt sharedPrompt(shared.Context());
  shared.items["skin.ini"] =
      "[Screen]\r\nMain=main.bmp\r\nOver=main.bmp\r\n[BUTTONINFO]\r\n1=A,0,0,10,10,a,F\r\n";
  shared.items["main.bmp"] = test::SolidBmp(60, 40, RGB(1, 2, 3));
  ASSERT_TRUE(shared.Open("skin.ini"));
  ASSERT_TRUE(glyph::test::PumpUntil([&] { return shared.OverBitmap() != nullptr; }));
  EXPECT_EQ(BitmapPixel(shared.OverBitmap(), 5, 5), RGB(1, 2, 3));
  EXPECT_TRUE(sharedPrompt.shown.empty());
}

TEST_F(SkinDialogTest, BackgroundDragsAndOffersTheContextMenu) {
  ASSERT_TRUE(dlg.Open("Skin\\skin.ini"));
  HWND h = dlg.GetHwnd();
  PumpFor(10);
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(200, 20));
  MSG m{};
  ASSERT_TRUE(::PeekMessageA(&m, h, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>(HTCAPTION));
  POINT p{200, 20};
  ::ClientToScreen(h, &p);
  EXPECT_EQ(m.lParam, MAKELPARAM(p.x, p.y));

  ::SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, At(200, 20));
  EXPECT_EQ(dlg.menus, 0);  // no menu id: default handling
  dlg.SetContextMenuId(kMenu);
  ::SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, At(200, 20));
  EXPECT_EQ(dlg.menus, 1);
  EXPECT_EQ(dlg.menuItems, 1);
}

// The colour offsets as people set them in the registry: a string, or a
// number (REG_DWORD, read as signed).
TEST(SkinProfileTest, OffsetsAreReadAsStringsAndAsNumbers) {
  struct Probe : CSkinDialog {
    Probe() : CSkinDialog(0) {}
    using CSkinDialog::ReadProfileString;
  } probe;
  ScopedProfileKey key{"Software\\Vorlane\\GlyphsmithTest\\SkinProfile"};
  const std::string section = Profile::Key() + "\\Skin";
  HKEY raw = nullptr;
  ASSERT_EQ(
      ::RegCreateKeyExA(HKEY_CURRENT_USER, section.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr),
      ERROR_SUCCESS);
  UniqueRegKey skinKey(raw);
  const DWORD hue = 30, lum = static_cast<DWORD>(-12), binary = 7;
  ::RegSetValueExA(skinKey.Get(), "Hue", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hue), sizeof hue);
  ::RegSetValueExA(skinKey.Get(), "Lum", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&lum), sizeof lum);
  ::RegSetValueExA(skinKey.Get(), "Sat", 0, REG_SZ, reinterpret_cast<const BYTE*>("-0.5"), 5);
  ::RegSetValueExA(skinKey.Get(), "Odd", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&binary), 1);
  const struct {
    const char* value;
    const char* expected;
  } cases[] = {{"Hue", "30"}, {"Lum", "-12"}, {"Sat", "-0.5"}, {"Odd", ""}, {"Missing", ""}};
  for (const auto& c : cases) EXPECT_EQ(probe.ReadProfileString("Skin", c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace glyph::skin
