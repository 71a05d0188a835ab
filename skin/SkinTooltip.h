// The tooltip of a skinned control: one tool (id 1) over the control's
// client area, destroyed with its owner object. The tooltip window is made
// on first use (a mouse message to relay, or a look at the window), not
// when its text is set: a skin sets two dozen texts before its window first
// shows, and each tooltip window is a top-level window of its own.
#pragma once

#include <windows.h>

#include <string>

namespace glyph::skin {

class SkinTooltip {
 public:
  SkinTooltip() = default;
  ~SkinTooltip() { Destroy(); }
  SkinTooltip(const SkinTooltip&) = delete;
  SkinTooltip& operator=(const SkinTooltip&) = delete;

  // Nothing for a null text. Adds tool 1 (or replaces its text), then
  // activates or deactivates the tooltip.
  void Set(HWND owner, const char* text, bool activate);
  // Hands a mouse message of the owner to the tooltip, so it can show.
  void Relay(HWND owner, UINT msg, WPARAM wp, LPARAM lp);
  void Destroy();
  // The tooltip window (made now if a text is waiting), or null.
  HWND Get() const;
  bool HasTool() const;

 private:
  // Makes the window and gives it the waiting text.
  void Realize() const;

  mutable HWND hwnd_ = nullptr;
  mutable bool hasTool_ = false;
  // The last Set before the window exists.
  mutable bool waiting_ = false;
  HWND owner_ = nullptr;
  std::string text_;
  bool active_ = false;
};

}  // namespace glyph::skin
