// The main window's command table: one row per command, saying what the
// skin button or key that runs it does. The window looks a pressed button
// up here by the name the skin description gives it, and a pressed key by
// its shortcut; it latches the row of the chosen tool and sets up buttons
// from their rows. So adding a row (and, for a new kind of action, its case
// in the window) is all it takes to bind a button or a key.
//
// Each row holds:
//  - the skin control's name, byte for byte as the skin description
//    spells it (names are exact and case-sensitive), or null for a command
//    that only a key runs; a tool that only a key chooses has "" instead,
//    since the window keeps the chosen tool's button name as a string;
//  - the action, and for a tool button the tool it chooses;
//  - a tooltip: the skin description's own text is the one shown, so this
//    is only the program's fallback for a skin that gives none. No row has
//    one yet and nothing reads it yet;
//  - up to two keyboard shortcuts; the first is the one tooltips name.
// Portable: the table is checked natively.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "editor/Tool.h"

namespace glyph {

enum class CommandAction {
  kSelectTool,
  kExit,
  kMinimize,
  kHelp,
  kLoad,      // the icon browser
  kOpenFile,  // the open dialog
  kSave,      // back to the file the image came from, or asks where
  kSaveAs,    // always asks where
  kUndo,
  kRedo,
  kCamera,
  kClear,
  kBlurImage,
  kCopy,
  kPaste,
  kNextSize,
  kPreviousSize,
  kAddSize,
  kRemoveSize,
  kMakeAllSizes,
  kPreviewSizes,
  kZoomIn,
  kZoomOut,
  kZoomFit,
  kToggleChecker,  // transparent parts over a checkerboard or the transparent colour
};

// A key and the modifiers held with it: `key` is a Windows virtual-key
// code ('A'..'Z', '0'..'9' or a VK_ value); 0 means no shortcut.
struct Shortcut {
  static constexpr uint8_t kCtrl = 1, kShift = 2, kAlt = 4;
  uint16_t key = 0;
  uint8_t modifiers = 0;
  constexpr bool IsSet() const { return key != 0; }
  constexpr bool operator==(const Shortcut&) const = default;
};

constexpr int kNoTool = -1;

struct MainCommand {
  const char* skinName = nullptr;
  CommandAction action = CommandAction::kSelectTool;
  int tool = kNoTool;
  const char* tooltip = nullptr;
  Shortcut shortcut;
  Shortcut otherShortcut;
  // The button reports its press and its release (wherever released), so
  // the action runs while it is held down.
  bool whileHeld = false;
};

std::span<const MainCommand> MainCommands();
// The row of a skin control, or null (rows without a skin control never
// match).
const MainCommand* FindCommand(std::string_view skinName);
// The row that chooses a tool, or null.
const MainCommand* FindToolCommand(int tool);
// The row a key runs, or null.
const MainCommand* FindShortcutCommand(Shortcut pressed);
// How a shortcut is written for people: "P", "Ctrl+Z", "Ctrl+Shift+S".
std::string ShortcutText(Shortcut shortcut);
// A skin control's tooltip with the key of its command: "Pen (P)"; the
// skin's text alone when the command has no key or there is no command.
std::string TooltipWithShortcut(std::string_view skinName, const std::string& skinText);

}  // namespace glyph
