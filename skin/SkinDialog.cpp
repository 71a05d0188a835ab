#include "skin/SkinDialog.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "framework/AnsiText.h"
#include "framework/ComScope.h"
#include "framework/PlainControls.h"
#include "framework/Profile.h"
#include "skin/SkinDescription.h"
#include "skin/SkinGeometry.h"
#include "skin/SkinPictureBatch.h"
#include "skin/SkinSources.h"
#include "skin/StartupTrace.h"

namespace glyph::skin {
namespace {

// Texts of the window-shape failures, single-byte as stored.
constexpr char kShapeCaption[] = "Hata";
constexpr char kNoRegionText[] = "Resimden Region Olu\xA6turulamad\xA4";
constexpr char kSetRegionText[] = "Region Olu\xA6turulamad\xA4";

// Pure white only: 255 to min(255, 255 + 0x10) in each component.
constexpr COLORREF kMaskTransparent = 0xFFFFFFFF;
constexpr COLORREF kMaskTolerance = 0x101010;

constexpr std::size_t kMaxFaceName = LF_FACESIZE - 1;

// The archive takes a byte-string name; a folder named outside the ANSI
// code page comes through in its short form.
std::string OwnModulePath() {
  constexpr DWORD kMaxPath = 32767;
  std::wstring path(kMaxPath + 1, L'\0');
  path.resize(::GetModuleFileNameW(nullptr, path.data(), kMaxPath));
  return NarrowPath(path);
}

template <class T>
T* FindByName(const std::vector<std::unique_ptr<T>>& list, const std::string& name) {
  for (const auto& c : list) {
    if (c->Name() == name) return c.get();
  }
  return nullptr;
}

RECT ToRect(const SkinRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A dialog that knows its monitor's scale would also be resized, with its
// controls and fonts, by the platform's dialog manager when the scale
// changes; this one lays itself out (Windows 10 1703 and later; elsewhere
// nothing is scaled for it).
void KeepOwnLayoutOnDpiChange(HWND dialog) {
  using SetBehaviourFn = BOOL(WINAPI*)(HWND, int, int);
  constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
  static const auto setBehaviour = reinterpret_cast<SetBehaviourFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("user32.dll"), "SetDialogDpiChangeBehavior")));
  if (setBehaviour) setBehaviour(dialog, kDisableAll, kDisableAll);
}

}  // namespace

CSkinDialog::~CSkinDialog() { DestroySkin(); }

void CSkinDialog::SetSkinSource(const std::string& descriptionName, const char* archivePath) {
  descriptionName_ = descriptionName;
  archivePath_ = archivePath ? archivePath : OwnModulePath();
}

CSkinButton* CSkinDialog::FindButton(const std::string& name) const { return FindByName(buttons_, name); }
CSkinTrackbar* CSkinDialog::FindTrackbar(const std::string& name) const {
  return FindByName(trackbars_, name);
}
CSkinText* CSkinDialog::FindText(const std::string& name) const { return FindByName(texts_, name); }
CSkinProgress* CSkinDialog::FindProgress(const std::string& name) const {
  return FindByName(progress_, name);
}

void CSkinDialog::SetButtonLatched(const std::string& name, bool state) {
  if (CSkinButton* b = FindButton(name)) b->SetLatched(state);
}

void CSkinDialog::SetTrackbarTooltip(const std::string& name, const char* text) {
  if (CSkinTrackbar* t = FindTrackbar(name)) t->SetTooltip(text, true);
}

void CSkinDialog::ProgressNotifyByIndex(int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < progress_.size())
    ProgressNotify(progress_[index]->Name());
}

void CSkinDialog::ButtonClickedByIndex(int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < buttons_.size()) {
    const std::string name = buttons_[index]->Name();  // the handler may reload the skin
    ButtonClicked(name);
  }
}

void CSkinDialog::TrackbarNotifyByIndex(int index, int code, int position) {
  if (index >= 0 && static_cast<std::size_t>(index) < trackbars_.size()) {
    const std::string name = trackbars_[index]->Name();
    TrackbarNotify(name, code, position);
  }
}

void CSkinDialog::TextClickedByIndex(int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < texts_.size()) {
    const std::string name = texts_[index]->Name();
    TextClicked(name);
  }
}

BOOL CSkinDialog::OnInitDialog() {
  // A system menu (Restore, Move, Minimize) for a window without a caption:
  // nothing shows it but Alt+Space and a right click on the minimised strip.
  HWND hwnd = GetHwnd();
  ChangeStyle(hwnd, 0, WS_SYSMENU | WS_MINIMIZEBOX);
  // Made now: Wine makes a system menu only for a window created with one.
  ::GetSystemMenu(hwnd, FALSE);
  if (descriptionName_.empty() && archivePath_.empty()) SetSkinSource("", nullptr);
  if (archivePath_.empty()) archivePath_ = OwnModulePath();
  KeepOwnLayoutOnDpiChange(hwnd);
  context_.SetScale(ScaleForDpi(WindowDpi()));
  LoadSkin();
  showFocusMarks_ = false;
  navigation_.Start(GetHwnd(), [this](const MSG& msg) { return WatchNavigationKey(msg); });
  return TRUE;
}

std::unique_ptr<SkinArchive> CSkinDialog::OpenArchive(const std::string& hostPath) {
  return OpenSkinArchive(hostPath);
}

std::string CSkinDialog::ReadProfileString(const char* section, const char* key) {
  // People set the colour offsets by hand, as a string or as a number.
  return Profile::GetText(section, key);
}

void CSkinDialog::DestroySkin() {
  main_.Reset();
  overComing_.reset();
  over_.Reset();
  down_.Reset();
  disabled_.Reset();
  disabledIsMain_ = false;
  buttons_.clear();
  trackbars_.clear();
  texts_.clear();
  progress_.clear();
  buttonEntries_.clear();
  trackbarEntries_.clear();
  textEntries_.clear();
  progressEntries_.clear();
}

void CSkinDialog::LoadSkin() {
  HWND hwnd = GetHwnd();
  const ComScope com;  // for every picture the skin decodes
  auto offset = [this](const char* key) {
    return std::strtod(ReadProfileString("Skin", key).c_str(), nullptr);
  };
  context_.SetOffsets(HlsOffsets{offset("Hue"), offset("Lum"), offset("Sat")});
  StartupMark("profile");

  DestroySkin();

  std::unique_ptr<SkinArchive> archive = OpenArchive(archivePath_);
  ScopedSkinArchive current(context_, archive.get());
  StartupMark("archive open");
  // An unreadable description parses as empty text: no pictures, no controls.
  const std::string text = context_.ReadItem(descriptionName_).value_or(std::string());
  std::unique_ptr<SkinIni> ini = ParseSkinIni(text);
  description_ = ReadSkinDescription(
      [&ini](const char* section, const char* key, const char* def) { return ini->Get(section, key, def); },
      descriptionName_);
  StartupMark("description");
  LoadScreens();
  CreateControls();
  StartupMark("tab order");
  ::InvalidateRect(hwnd, nullptr, TRUE);
  // A timer's message comes after every pending paint.
  ::SetTimer(hwnd, kFinishScreensTimer, USER_TIMER_MINIMUM, nullptr);
}

void CSkinDialog::FinishScreens() {
  if (!overComing_) return;
  overComing_->Take(description_.screen.over, over_, nullptr);
  overComing_.reset();
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    buttons_[i]->SetOverPicture(Scaled(description_.buttons[buttonEntries_[i]].rect), over_.Get());
}

void CSkinDialog::OnTimer(UINT_PTR id) {
  if (id != kFinishScreensTimer) return Dialog::OnTimer(id);
  ::KillTimer(GetHwnd(), kFinishScreensTimer);
  FinishScreens();
  // The library behind the tooltips, loaded now that the window has shown,
  // so that the first hover does not wait for it.
  LoadCommonControls();
  SkinPainted();
}

void CSkinDialog::LoadScreens() {
  HWND hwnd = GetHwnd();
  const ScreenEntry& screen = description_.screen;
  // A disabled picture that is the main one, not recoloured, is the main
  // one: a copy of a screen-sized picture is not free. (Recoloured, the
  // controls recolour their disabled pieces, so it must be a copy.)
  disabledIsMain_ = !screen.main.empty() && screen.disabled == screen.main && context_.Offsets().IsZero();
  std::set<std::string> repeated = RepeatedPictures(description_);
  // The hover picture waits until the window has painted (FinishScreens),
  // when nothing may be read from the archive any more: only a picture of
  // its own, read now and decoded aside, can wait.
  const bool overLater = !screen.over.empty() && repeated.count(screen.over) == 0;
  if (disabledIsMain_) repeated.erase(screen.main);
  context_.SetRepeatedPictures(std::move(repeated));
  // The press and disabled pictures decode beside the main picture and the
  // mask, which the window's size and shape wait for; the hover picture
  // after them.
  auto aside = std::make_unique<PictureBatch>(
      context_, std::vector<std::string>{screen.down, screen.disabled, screen.over},
      std::vector<std::string>{screen.main, screen.mask});
  SIZE mainSize{}, maskSize{};
  const bool haveMain = LoadSkinPicture(context_, screen.main, main_, &mainSize);
  UniqueBitmap mask;
  const bool haveMask = LoadSkinPicture(context_, screen.mask, mask, &maskSize);
  if (haveMask || haveMain) {
    const SIZE size = haveMask ? maskSize : mainSize;
    ::SetWindowPos(hwnd, HWND_TOP, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOOWNERZORDER);
  }
  aside->Take(screen.down, down_, nullptr);
  disabled_.Reset();
  if (!disabledIsMain_) aside->Take(screen.disabled, disabled_, nullptr);
  over_.Reset();
  if (overLater) {
    overComing_ = std::move(aside);
  } else {
    overComing_.reset();
    aside->Take(screen.over, over_, nullptr);
  }
  AdjustBitmapHls(context_.Offsets(), nullptr, main_.Get(), mainSize.cx, mainSize.cy);
  StartupMark("recolour");
  ApplyWindowShape(mask.Get());
  StartupMark("window region");
}

RECT CSkinDialog::Scaled(const SkinRect& r) const { return ToRect(ScaleRect(r, context_.Scale())); }

void CSkinDialog::CreateControls() {
  HWND hwnd = GetHwnd();
  for (const ButtonEntry& e : description_.buttons) {
    auto b = std::make_unique<CSkinButton>(context_, e.name, static_cast<int>(buttons_.size()));
    if (!b->Create(hwnd, Scaled(e.rect))) continue;
    PlaceButton(*b, e);
    b->SetToggleStyle(e.toggle);
    b->SetTooltip(ButtonTooltip(e.name, e.tooltip).c_str(), true);
    buttons_.push_back(std::move(b));
    buttonEntries_.push_back(&e - description_.buttons.data());
  }
  StartupMark("buttons");
  for (const TextEntry& e : description_.texts) {
    auto t = std::make_unique<CSkinText>(context_, e.name, static_cast<int>(texts_.size()));
    if (!t->Create(hwnd, Scaled(e.rect), e.text.c_str())) continue;
    PlaceText(*t, e);
    t->SetColors(e.color1, static_cast<COLORREF>(e.color2));
    t->SetText(e.text);
    texts_.push_back(std::move(t));
    textEntries_.push_back(&e - description_.texts.data());
  }
  StartupMark("texts");
  for (const TrackbarEntry& e : description_.trackbars) {
    auto t = std::make_unique<CSkinTrackbar>(context_, e.name, static_cast<int>(trackbars_.size()));
    if (!t->Create(hwnd, Scaled(e.rect), !e.horizontal)) continue;
    PlaceTrackbar(*t, e);
    t->SetRangeAndPosition(0, e.maximum, e.position);
    if (!e.tooltip.empty()) t->SetTooltip(e.tooltip.c_str(), true);
    trackbars_.push_back(std::move(t));
    trackbarEntries_.push_back(&e - description_.trackbars.data());
  }
  for (const ProgressEntry& e : description_.progress) {
    auto p = std::make_unique<CSkinProgress>(context_, e.name, static_cast<int>(progress_.size()));
    if (!p->Create(hwnd, Scaled(e.rect))) continue;
    PlaceProgress(*p, e);
    p->SetAlongHeight(e.alongHeight);
    p->SetTooltip(e.tooltip.c_str(), true);
    progress_.push_back(std::move(p));
    progressEntries_.push_back(&e - description_.progress.data());
  }
  StartupMark("sliders and progress");
  ArrangeTabOrder();
}

// Each Place* puts a control where its entry says at the current scale
// and cuts its pictures from the current screens.
void CSkinDialog::PlaceButton(CSkinButton& b, const ButtonEntry& e) {
  const RECT r = Scaled(e.rect);
  MoveControl(b.GetHwnd(), r);
  // A new set of pictures ends a press-and-release mode; a new scale must not.
  const bool pressAndRelease = b.PressAndRelease();
  b.SetPictures(r.left, r.top, r.right, r.bottom, main_.Get(), over_.Get(), down_.Get(), DisabledBitmap());
  b.SetPressAndRelease(pressAndRelease);
}

void CSkinDialog::PlaceText(CSkinText& t, const TextEntry& e) {
  const RECT r = Scaled(e.rect);
  MoveControl(t.GetHwnd(), r);
  t.SetBackground(r, main_.Get());
  LOGFONTA lf{};
  std::strncpy(lf.lfFaceName, e.face.c_str(), kMaxFaceName);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = context_.Scaled(e.height);
  lf.lfWeight = e.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = e.italic ? TRUE : FALSE;
  UniqueFont font(::CreateFontIndirectA(&lf));
  t.SetFont(font.Get());
}

void CSkinDialog::PlaceTrackbar(CSkinTrackbar& t, const TrackbarEntry& e) {
  const RECT r = Scaled(e.rect);
  MoveControl(t.GetHwnd(), r);
  t.SetPictures(r, main_.Get(), e.thumb, e.thumbHot);
}

void CSkinDialog::PlaceProgress(CSkinProgress& p, const ProgressEntry& e) {
  const RECT r = Scaled(e.rect);
  MoveControl(p.GetHwnd(), r);
  p.SetPictures(r, main_.Get(), down_.Get());
}

void CSkinDialog::MoveControl(HWND control, const RECT& r) {
  // A control just made is in place already, and a move is not free.
  RECT now{};
  ::GetWindowRect(control, &now);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&now), 2);
  if (::EqualRect(&now, &r)) return;
  ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSkinDialog::SetScale(int scale) {
  if (scale <= 0 || scale == context_.Scale()) return;
  context_.SetScale(scale);
  if (!GetHwnd()) return;
  std::unique_ptr<SkinArchive> archive = OpenArchive(archivePath_);
  ScopedSkinArchive current(context_, archive.get());
  LoadScreens();
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    PlaceButton(*buttons_[i], description_.buttons[buttonEntries_[i]]);
  for (std::size_t i = 0; i < texts_.size(); ++i) PlaceText(*texts_[i], description_.texts[textEntries_[i]]);
  for (std::size_t i = 0; i < trackbars_.size(); ++i)
    PlaceTrackbar(*trackbars_[i], description_.trackbars[trackbarEntries_[i]]);
  for (std::size_t i = 0; i < progress_.size(); ++i)
    PlaceProgress(*progress_[i], description_.progress[progressEntries_[i]]);
  FinishScreens();
  SkinScaled();
  ::RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int CSkinDialog::WindowDpi() {
  // Per-monitor on systems that know it; the screen's otherwise.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && GetHwnd()) {
    if (const UINT dpi = getDpiForWindow(GetHwnd())) return static_cast<int>(dpi);
  }
  WindowDC screen(nullptr);
  return ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
}

// The controls come without a tab stop (their pictures have no room for a
// frame of the platform's); the window makes each button, slider and text
// field a stop, and puts them in reading order at the end of its
// children's order, which is the order Tab follows. They were made last,
// mostly in that order already: only the others are moved (a move costs
// about a millisecond under Wine).
void CSkinDialog::ArrangeTabOrder() {
  std::vector<HWND> controls;
  for (const auto& b : buttons_) controls.push_back(b->GetHwnd());
  for (const auto& t : trackbars_) controls.push_back(t->GetHwnd());
  for (const auto& t : texts_) controls.push_back(t->GetHwnd());
  std::vector<SkinRect> rects;
  for (HWND control : controls) {
    RECT r;
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&r), 2);
    rects.push_back(SkinRect{r.left, r.top, r.right, r.bottom});
  }
  // Where each control stands among the window's children now; one
  // standing before another child of the window is out of place.
  std::map<HWND, int> place;
  HWND lastOther = HWND_TOP;
  int lastOtherPlace = -1, n = 0;
  for (HWND c = ::GetWindow(GetHwnd(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT), ++n) {
    place[c] = n;
    if (std::find(controls.begin(), controls.end(), c) == controls.end()) {
      lastOther = c;
      lastOtherPlace = n;
    }
  }
  const std::vector<std::size_t> order = ReadingOrder(rects);
  std::vector<int> standing;
  for (std::size_t i : order) {
    const auto at = place.find(controls[i]);
    standing.push_back(at != place.end() && at->second > lastOtherPlace ? at->second : -1);
  }
  const std::vector<bool> inPlace = LongestIncreasing(standing);
  HWND previous = lastOther;
  for (std::size_t k = 0; k < order.size(); ++k) {
    HWND control = controls[order[k]];
    ChangeStyle(control, 0, WS_TABSTOP);
    if (!inPlace[k] || standing[k] < 0)
      ::SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
}

bool CSkinDialog::WatchNavigationKey(const MSG& msg) {
  if (showFocusMarks_ || msg.message != WM_KEYDOWN) return false;
  switch (msg.wParam) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      showFocusMarks_ = true;
      // The control that keeps the focus (an arrow on a slider) shows its
      // mark now; one that gains it draws its own.
      if (HWND focus = ::GetFocus(); focus && ::IsChild(GetHwnd(), focus))
        ::InvalidateRect(focus, nullptr, FALSE);
      break;
    default:
      break;
  }
  return false;
}

void CSkinDialog::ApplyWindowShape(HBITMAP maskBitmap) {
  HWND hwnd = GetHwnd();
  UniqueRegion region = RegionFromBitmap(maskBitmap, kMaskTransparent, kMaskTolerance);
  shape_.Reset();
  if (region) {
    shape_.Reset(::CreateRectRgn(0, 0, 0, 0));
    if (shape_ && ::CombineRgn(shape_.Get(), region.Get(), nullptr, RGN_COPY) == ERROR) shape_.Reset();
  }
  if (!region) {
    context_.ShowMessage(hwnd, kNoRegionText, kShapeCaption);
  } else if (::SetWindowRgn(hwnd, region.Get(), TRUE)) {
    region.Release();  // the window owns it now
  } else {
    context_.ShowMessage(hwnd, kSetRegionText, kShapeCaption);
  }
  ::InvalidateRect(hwnd, nullptr, TRUE);
}

LRESULT CSkinDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  // Scroll messages of the skin's sliders go back to the slider.
  if ((msg == WM_HSCROLL || msg == WM_VSCROLL) && ReflectSkinScroll(msg, wp, lp)) return 0;
  if (msg == WM_QUERYUISTATE) return showFocusMarks_ ? 0 : UISF_HIDEFOCUS;
  if (msg == WM_DESTROY) navigation_.Stop();
  if (msg == WM_DPICHANGED) {
    // Moved to a monitor of another scale: lay out again at its scale, at
    // the place the platform suggests.
    SetScale(ScaleForDpi(LOWORD(wp)));
    if (const auto* suggested = reinterpret_cast<const RECT*>(lp))
      ::SetWindowPos(GetHwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  if (::IsIconic(GetHwnd())) {
    // The minimised strip is all caption: a right click opens the system
    // menu there, and a click or a double click restores the window.
    if (msg == WM_NCHITTEST) return HTCAPTION;
    if (msg == WM_NCPAINT) {
      PaintMinimizedStrip();
      return 0;
    }
    if (msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONDBLCLK) {
      ::SendMessageA(GetHwnd(), WM_SYSCOMMAND, SC_RESTORE, lp);
      return 0;
    }
    // A right click (or the menu key) opens the system menu. The platform's
    // own answer asks its hit-testing again, which finds nothing on the
    // strip (Wine).
    if (msg == WM_NCRBUTTONDOWN || msg == WM_CONTEXTMENU) {
      POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      RECT strip;
      if (lp == -1 && ::GetWindowRect(GetHwnd(), &strip)) at = POINT{strip.left, strip.top};
      TrackContextMenu(::GetSystemMenu(GetHwnd(), FALSE), at);
      return 0;
    }
  }
  return Dialog::WindowProc(msg, wp, lp);
}

void CSkinDialog::OnSize(UINT type, int width, int height) {
  // The strip of a minimised window lies in the shape's corner, where the
  // shape may well be empty: while minimised the window has none.
  if (type == SIZE_MINIMIZED && !unshaped_) {
    unshaped_ = true;
    ::SetWindowRgn(GetHwnd(), nullptr, TRUE);
    ::RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  } else if (type != SIZE_MINIMIZED && unshaped_) {
    unshaped_ = false;
    RestoreShape();
  }
  Dialog::OnSize(type, width, height);
}

// The platform draws nothing on a minimised window without a caption: the
// strip shows the window's small icon and its title, as a caption would.
void CSkinDialog::PaintMinimizedStrip() {
  HWND hwnd = GetHwnd();
  NonClientDC dc(hwnd);
  RECT rc;
  ::GetWindowRect(hwnd, &rc);
  ::OffsetRect(&rc, -rc.left, -rc.top);
  ::FillRect(dc.Get(), &rc, ::GetSysColorBrush(COLOR_ACTIVECAPTION));
  const int side = ::GetSystemMetrics(SM_CXSMICON);
  const int margin = (rc.bottom - side) / 2;
  auto icon = reinterpret_cast<HICON>(::SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
  if (icon) ::DrawIconEx(dc.Get(), margin, margin, icon, side, side, 0, nullptr, DI_NORMAL);
  char title[256] = {};
  ::GetWindowTextA(hwnd, title, sizeof title);
  RECT text = rc;
  text.left = 2 * margin + side;
  ScopedSelect font(dc.Get(), ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc.Get(), TRANSPARENT);
  ::SetTextColor(dc.Get(), ::GetSysColor(COLOR_CAPTIONTEXT));
  ::DrawTextA(dc.Get(), title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void CSkinDialog::RestoreShape() {
  if (!shape_) return;
  UniqueRegion copy(::CreateRectRgn(0, 0, 0, 0));
  if (!copy || ::CombineRgn(copy.Get(), shape_.Get(), nullptr, RGN_COPY) == ERROR) return;
  if (::SetWindowRgn(GetHwnd(), copy.Get(), TRUE)) copy.Release();  // the window owns it now
}

void CSkinDialog::OnPaint() {
  {
    PaintDC paint(GetHwnd());
    RECT rc;
    ::GetClientRect(GetHwnd(), &rc);
    DrawBitmap(paint.Get(), main_.Get(), 0, 0, rc.right, rc.bottom, false);
  }
  StartupMark("first paint");
  StartupTraceFinish();
  for (const auto& t : trackbars_) ::InvalidateRect(t->GetHwnd(), nullptr, FALSE);
  for (const auto& b : buttons_) ::InvalidateRect(b->GetHwnd(), nullptr, FALSE);
  for (const auto& t : texts_) ::InvalidateRect(t->GetHwnd(), nullptr, FALSE);
}

void CSkinDialog::OnLButtonDown(UINT, POINT point) {
  // The borderless window is dragged by its background.
  POINT screen = point;
  ::ClientToScreen(GetHwnd(), &screen);
  ::PostMessageA(GetHwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
}

void CSkinDialog::OnRButtonDown(UINT, POINT) {
  if (contextMenuId_ == 0) {
    Default();
    return;
  }
  UniqueMenu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(contextMenuId_)));
  if (!menu) return;
  HMENU popup = ::GetSubMenu(menu.Get(), 0);
  if (!popup) return;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  TrackContextMenu(popup, cursor);
}

void CSkinDialog::TrackContextMenu(HMENU menu, POINT screen) {
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, GetHwnd(), nullptr);
}

void CSkinDialog::OnMouseMove(UINT flags, POINT point) {
  SkinMouseMove(std::string(), flags, point);
  Default();
}

}  // namespace glyph::skin
