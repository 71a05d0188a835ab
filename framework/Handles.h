// Owners and scoped helpers for Windows handles.
//
// Every handle the program creates is held by exactly one owner that frees
// it. Owners are move-only; copying one would free the handle twice. Each
// owner's trait names the API whose handles it releases.
#pragma once

#include <windows.h>

#include <utility>

namespace glyph {

template <class Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type h) : h_(h) {}
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Type Get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Invalid(); }
  Type Release() { return std::exchange(h_, Traits::Invalid()); }
  void Reset(Type h = Traits::Invalid()) {
    Type old = std::exchange(h_, h);
    if (old != Traits::Invalid()) Traits::Free(old);
  }

 private:
  Type h_ = Traits::Invalid();
};

// GDI objects from CreatePen, CreateSolidBrush, CreateFontIndirect,
// CreateDIBSection, CreateCompatibleBitmap, CreateRectRgn, CreatePalette...
template <class T>
struct GdiObjectTraits {
  using Type = T;
  static T Invalid() { return nullptr; }
  static void Free(T h) { ::DeleteObject(h); }
};
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using UniquePalette = UniqueHandle<GdiObjectTraits<HPALETTE>>;

// Device contexts from CreateCompatibleDC / CreateDC.
struct DcTraits {
  using Type = HDC;
  static HDC Invalid() { return nullptr; }
  static void Free(HDC h) { ::DeleteDC(h); }
};
using UniqueDC = UniqueHandle<DcTraits>;

// Icons from LoadImage(IMAGE_ICON), CreateIcon, CreateIconFromResourceEx.
struct IconTraits {
  using Type = HICON;
  static HICON Invalid() { return nullptr; }
  static void Free(HICON h) { ::DestroyIcon(h); }
};
using UniqueIcon = UniqueHandle<IconTraits>;

// Cursors from LoadImage(IMAGE_CURSOR) / CreateCursor.
struct CursorTraits {
  using Type = HCURSOR;
  static HCURSOR Invalid() { return nullptr; }
  static void Free(HCURSOR h) { ::DestroyCursor(h); }
};
using UniqueCursor = UniqueHandle<CursorTraits>;

// Memory from GlobalAlloc.
struct HGlobalTraits {
  using Type = HGLOBAL;
  static HGLOBAL Invalid() { return nullptr; }
  static void Free(HGLOBAL h) { ::GlobalFree(h); }
};
using UniqueHGlobal = UniqueHandle<HGlobalTraits>;

// GlobalLock / GlobalUnlock: the bytes of a memory handle, whoever owns
// it, readable and writable while in scope. Empty when the lock fails.
class GlobalBytes {
 public:
  explicit GlobalBytes(HGLOBAL h)
      : h_(h),
        data_(h ? static_cast<unsigned char*>(::GlobalLock(h)) : nullptr),
        size_(data_ ? ::GlobalSize(h) : 0) {}
  ~GlobalBytes() {
    if (data_) ::GlobalUnlock(h_);
  }
  GlobalBytes(const GlobalBytes&) = delete;
  GlobalBytes& operator=(const GlobalBytes&) = delete;
  unsigned char* Data() const { return data_; }
  // The block's size, which may be larger than was asked for.
  SIZE_T Size() const { return size_; }

 private:
  HGLOBAL h_;
  unsigned char* data_;
  SIZE_T size_;
};

// Kernel handles from CreateFile (invalid value: INVALID_HANDLE_VALUE).
struct FileTraits {
  using Type = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { ::CloseHandle(h); }
};
using UniqueFile = UniqueHandle<FileTraits>;

// Kernel handles from CreateThread, CreateEvent (invalid value: null).
struct KernelTraits {
  using Type = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static void Free(HANDLE h) { ::CloseHandle(h); }
};
using UniqueKernelHandle = UniqueHandle<KernelTraits>;

// Searches from FindFirstFile.
struct FindTraits {
  using Type = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<FindTraits>;

// Hooks from SetWindowsHookEx.
struct HookTraits {
  using Type = HHOOK;
  static HHOOK Invalid() { return nullptr; }
  static void Free(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
using UniqueHook = UniqueHandle<HookTraits>;

// Menus from CreatePopupMenu / LoadMenu.
struct MenuTraits {
  using Type = HMENU;
  static HMENU Invalid() { return nullptr; }
  static void Free(HMENU h) { ::DestroyMenu(h); }
};
using UniqueMenu = UniqueHandle<MenuTraits>;

// Registry keys from RegOpenKeyEx / RegCreateKeyEx.
struct RegKeyTraits {
  using Type = HKEY;
  static HKEY Invalid() { return nullptr; }
  static void Free(HKEY h) { ::RegCloseKey(h); }
};
using UniqueRegKey = UniqueHandle<RegKeyTraits>;

// Modules from LoadLibrary.
struct ModuleTraits {
  using Type = HMODULE;
  static HMODULE Invalid() { return nullptr; }
  static void Free(HMODULE h) { ::FreeLibrary(h); }
};
using UniqueModule = UniqueHandle<ModuleTraits>;

// A typed function pointer from GetProcAddress (null when missing).
template <class Fn>
Fn GetProc(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Selects an object into a DC for the scope's lifetime.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
  ~ScopedSelect() {
    if (old_) ::SelectObject(dc_, old_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// GetDC / ReleaseDC. A null window gives the screen.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  ~WindowDC() {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// GetWindowDC / ReleaseDC: the whole window, non-client edge included.
class NonClientDC {
 public:
  explicit NonClientDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetWindowDC(hwnd)) {}
  ~NonClientDC() {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
  }
  NonClientDC(const NonClientDC&) = delete;
  NonClientDC& operator=(const NonClientDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
  ~PaintDC() { ::EndPaint(hwnd_, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC Get() const { return dc_; }
  const PAINTSTRUCT& Info() const { return ps_; }

 private:
  HWND hwnd_;
  HDC dc_;
  PAINTSTRUCT ps_{};
};

// SetTimer / KillTimer on a window.
class ScopedTimer {
 public:
  ScopedTimer() = default;
  ScopedTimer(const ScopedTimer&) = delete;
  ScopedTimer& operator=(const ScopedTimer&) = delete;
  ~ScopedTimer() { Stop(); }
  void Start(HWND hwnd, UINT_PTR id, UINT ms) {
    Stop();
    if (::SetTimer(hwnd, id, ms, nullptr)) {
      hwnd_ = hwnd;
      id_ = id;
    }
  }
  void Stop() {
    if (hwnd_) ::KillTimer(hwnd_, id_);
    hwnd_ = nullptr;
  }
  bool Running() const { return hwnd_ != nullptr; }

 private:
  HWND hwnd_ = nullptr;
  UINT_PTR id_ = 0;
};

// A COM interface pointer; Release on scope exit.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      Reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { Reset(); }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

 private:
  T* p_ = nullptr;
};

}  // namespace glyph
