// The tooltip of a skinned control: one tool (id 1) over the control's
// client area, created on first use and destroyed with its owner object.
#pragma once

#include <windows.h>

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
  HWND Get() const { return hwnd_; }
  bool HasTool() const { return hasTool_; }

 private:
  HWND hwnd_ = nullptr;
  bool hasTool_ = false;
};

}  // namespace glyph::skin
