#include "app/MainCommands.h"

#include <string_view>

namespace glyph {
namespace {

using enum CommandAction;

constexpr uint8_t kCtrl = Shortcut::kCtrl, kShift = Shortcut::kShift;
// Virtual-key codes of the keys below that are not letters or digits.
constexpr uint16_t kKeyPageUp = 0x21, kKeyPageDown = 0x22, kKeyInsert = 0x2D, kKeyDelete = 0x2E,
                   kKeyF6 = 0x75, kKeyPadPlus = 0x6B, kKeyPadMinus = 0x6D, kKeyPlus = 0xBB, kKeyMinus = 0xBD;

// Tool keys are single letters, as in most paint programs; commands that
// change or leave the document take Control. The help's tools page lists
// the same keys.
constexpr MainCommand kCommands[] = {
    {.skinName = "BUTTON_EXIT", .action = kExit},
    {.skinName = "BUTTON_MINIMIZE", .action = kMinimize},
    {.skinName = "BUTTON_HELP", .action = kHelp},
    {.skinName = "BUTTON_LOAD", .action = kLoad, .shortcut = {'L', kCtrl}},
    {.skinName = nullptr, .action = kOpenFile, .shortcut = {'O', kCtrl}},
    {.skinName = nullptr, .action = kSave, .shortcut = {'S', kCtrl}},
    {.skinName = "QaS", .action = kSaveAs, .shortcut = {'S', kCtrl | kShift}},
    {.skinName = "TOOL_UNDO", .action = kUndo, .shortcut = {'Z', kCtrl}},
    {.skinName = nullptr, .action = kRedo, .shortcut = {'Y', kCtrl}, .otherShortcut = {'Z', kCtrl | kShift}},
    {.skinName = "TOOL_PHOTO", .action = kCamera, .whileHeld = true},
    {.skinName = "TOOL_CLEAR", .action = kClear},
    {.skinName = "TOOL_BLUR_ALL", .action = kBlurImage},
    {.skinName = nullptr, .action = kCopy, .shortcut = {'C', kCtrl}},
    {.skinName = nullptr, .action = kPaste, .shortcut = {'V', kCtrl}},
    {.skinName = nullptr, .action = kNextSize, .shortcut = {kKeyPageDown}},
    {.skinName = nullptr, .action = kPreviousSize, .shortcut = {kKeyPageUp}},
    {.skinName = "SIZE_ADD", .action = kAddSize, .shortcut = {kKeyInsert, kCtrl}},
    {.skinName = "SIZE_REMOVE", .action = kRemoveSize, .shortcut = {kKeyDelete, kCtrl}},
    {.skinName = "SIZES_MAKE", .action = kMakeAllSizes, .shortcut = {'M', kCtrl}},
    {.skinName = "PREVIEW_SIZES", .action = kPreviewSizes, .shortcut = {kKeyF6}},
    {.skinName = "ZOOM_IN",
     .action = kZoomIn,
     .shortcut = {kKeyPlus, kCtrl},
     .otherShortcut = {kKeyPadPlus, kCtrl}},
    {.skinName = "ZOOM_OUT",
     .action = kZoomOut,
     .shortcut = {kKeyMinus, kCtrl},
     .otherShortcut = {kKeyPadMinus, kCtrl}},
    {.skinName = "ZOOM_FIT", .action = kZoomFit, .shortcut = {'0', kCtrl}},
    {.skinName = "SHOW_CHECKER", .action = kToggleChecker},
    {.skinName = "TOOL_PEN", .action = kSelectTool, .tool = TOOL_PEN, .shortcut = {'P'}},
    {.skinName = "TOOL_LINE", .action = kSelectTool, .tool = TOOL_LINE, .shortcut = {'L'}},
    {.skinName = "TOOL_RECT", .action = kSelectTool, .tool = TOOL_RECT, .shortcut = {'R'}},
    {.skinName = "TOOL_ELLIPSE", .action = kSelectTool, .tool = TOOL_ELLIPSE, .shortcut = {'E'}},
    {.skinName = "TOOL_FILL_RECT", .action = kSelectTool, .tool = TOOL_FILL_RECT, .shortcut = {'F'}},
    {.skinName = "TOOL_FILL_ELLIPSE", .action = kSelectTool, .tool = TOOL_FILL_ELLIPSE, .shortcut = {'D'}},
    {.skinName = "TOOL_FILL", .action = kSelectTool, .tool = TOOL_FILL, .shortcut = {'G'}},
    {.skinName = "TOOL_PICK", .action = kSelectTool, .tool = TOOL_PICK, .shortcut = {'I'}},
    {.skinName = "TOOL_TEXT", .action = kSelectTool, .tool = TOOL_TEXT, .shortcut = {'T'}},
    {.skinName = "TOOL_BLUR", .action = kSelectTool, .tool = TOOL_BLUR, .shortcut = {'B'}},
    {.skinName = "TOOL_ERASER", .action = kSelectTool, .tool = TOOL_ERASER, .shortcut = {'X'}},
};

// Key names of the VK_ codes a shortcut may use besides letters and digits.
std::string KeyName(uint16_t key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  constexpr uint16_t kF1 = 0x70, kF24 = 0x87;
  if (key >= kF1 && key <= kF24) return "F" + std::to_string(key - kF1 + 1);
  if (key == kKeyPageUp) return "Page Up";
  if (key == kKeyPageDown) return "Page Down";
  if (key == kKeyInsert) return "Ins";
  if (key == kKeyPlus) return "Plus";
  if (key == kKeyMinus) return "Minus";
  if (key == kKeyDelete) return "Del";
  return "#" + std::to_string(key);
}

}  // namespace

std::span<const MainCommand> MainCommands() { return kCommands; }

const MainCommand* FindCommand(std::string_view skinName) {
  for (const MainCommand& command : kCommands)
    if (command.skinName && *command.skinName && skinName == command.skinName) return &command;
  return nullptr;
}

const MainCommand* FindShortcutCommand(Shortcut pressed) {
  if (!pressed.IsSet()) return nullptr;
  for (const MainCommand& command : kCommands)
    if (command.shortcut == pressed || command.otherShortcut == pressed) return &command;
  return nullptr;
}

std::string ShortcutText(Shortcut shortcut) {
  if (!shortcut.IsSet()) return {};
  std::string text;
  if (shortcut.modifiers & Shortcut::kCtrl) text += "Ctrl+";
  if (shortcut.modifiers & Shortcut::kShift) text += "Shift+";
  if (shortcut.modifiers & Shortcut::kAlt) text += "Alt+";
  return text + KeyName(shortcut.key);
}

std::string TooltipWithShortcut(std::string_view skinName, const std::string& skinText) {
  const MainCommand* command = FindCommand(skinName);
  if (!command || !command->shortcut.IsSet()) return skinText;
  const std::string key = ShortcutText(command->shortcut);
  return skinText.empty() ? key : skinText + " (" + key + ")";
}

const MainCommand* FindToolCommand(int tool) {
  for (const MainCommand& command : kCommands)
    if (command.action == kSelectTool && command.tool == tool) return &command;
  return nullptr;
}

}  // namespace glyph
