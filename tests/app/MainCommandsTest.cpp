// The command table's consistency: what a new row could get wrong; and the
// keys as the tooltips and the key dispatch see them.
#include "app/MainCommands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace glyph {
namespace {

TEST(MainCommandsTest, NamesAndShortcutsAreUniqueAndEveryToolHasOneButton) {
  std::set<std::string> names;
  std::set<std::pair<int, int>> keys;
  int toolRows[kToolCount] = {};
  for (const MainCommand& command : MainCommands()) {
    // A row without a skin control is reachable only by its key. The window
    // keeps the chosen tool's button name as a string: a tool row has one,
    // if only "".
    if (command.action == CommandAction::kSelectTool) {
      EXPECT_NE(command.skinName, nullptr) << command.tool;
    }
    if (!command.skinName || !*command.skinName) {
      EXPECT_TRUE(command.shortcut.IsSet()) << static_cast<int>(command.action);
    } else {
      const std::string name = command.skinName;
      EXPECT_FALSE(name.empty());
      EXPECT_TRUE(names.insert(name).second) << name << " twice";
      EXPECT_EQ(FindCommand(name), &command) << name;
    }
    if (command.action == CommandAction::kSelectTool) {
      ASSERT_TRUE(command.tool >= 0 && command.tool < kToolCount);
      ++toolRows[command.tool];
    } else {
      EXPECT_EQ(command.tool, kNoTool);
    }
    EXPECT_TRUE(command.shortcut.IsSet() || !command.otherShortcut.IsSet());
    for (const Shortcut& key : {command.shortcut, command.otherShortcut}) {
      if (!key.IsSet()) continue;
      EXPECT_TRUE(keys.insert({key.key, key.modifiers}).second) << ShortcutText(key) << " twice";
      EXPECT_EQ(FindShortcutCommand(key), &command) << ShortcutText(key);
    }
  }
  for (int tool = 0; tool < kToolCount; ++tool) {
    EXPECT_EQ(toolRows[tool], 1) << "tool " << tool;
    ASSERT_NE(FindToolCommand(tool), nullptr) << tool;
    EXPECT_EQ(FindToolCommand(tool)->tool, tool);
  }
  EXPECT_EQ(FindToolCommand(kToolCount), nullptr);
  EXPECT_EQ(FindToolCommand(kNoTool), nullptr);
  EXPECT_EQ(FindCommand(""), nullptr);
  EXPECT_EQ(FindShortcutCommand(Shortcut{}), nullptr);
}

TEST(MainCommandsTest, KeysRunTheirCommandsAndNameThemselvesInTooltips) {
  constexpr uint8_t kCtrl = Shortcut::kCtrl, kShift = Shortcut::kShift;
  const struct {
    Shortcut key;
    CommandAction action;
    int tool;
    const char* text;
  } cases[] = {
      {{'Z', kCtrl}, CommandAction::kUndo, kNoTool, "Ctrl+Z"},
      {{'Y', kCtrl}, CommandAction::kRedo, kNoTool, "Ctrl+Y"},
      {{'Z', kCtrl | kShift}, CommandAction::kRedo, kNoTool, "Ctrl+Shift+Z"},
      {{'L', kCtrl}, CommandAction::kLoad, kNoTool, "Ctrl+L"},
      {{'O', kCtrl}, CommandAction::kOpenFile, kNoTool, "Ctrl+O"},
      {{'S', kCtrl}, CommandAction::kSave, kNoTool, "Ctrl+S"},
      {{'S', kCtrl | kShift}, CommandAction::kSaveAs, kNoTool, "Ctrl+Shift+S"},
      {{'P'}, CommandAction::kSelectTool, TOOL_PEN, "P"},
      {{'L'}, CommandAction::kSelectTool, TOOL_LINE, "L"},
      {{'R'}, CommandAction::kSelectTool, TOOL_RECT, "R"},
      {{'E'}, CommandAction::kSelectTool, TOOL_ELLIPSE, "E"},
      {{'F'}, CommandAction::kSelectTool, TOOL_FILL_RECT, "F"},
      {{'D'}, CommandAction::kSelectTool, TOOL_FILL_ELLIPSE, "D"},
      {{'G'}, CommandAction::kSelectTool, TOOL_FILL, "G"},
      {{'I'}, CommandAction::kSelectTool, TOOL_PICK, "I"},
      {{'T'}, CommandAction::kSelectTool, TOOL_TEXT, "T"},
      {{'B'}, CommandAction::kSelectTool, TOOL_BLUR, "B"},
      {{'X'}, CommandAction::kSelectTool, TOOL_ERASER, "X"},
      {{0x22}, CommandAction::kNextSize, kNoTool, "Page Down"},
      {{0x2E, kCtrl}, CommandAction::kRemoveSize, kNoTool, "Ctrl+Del"},
      {{0x2D, kCtrl}, CommandAction::kAddSize, kNoTool, "Ctrl+Ins"},
      {{'M', kCtrl}, CommandAction::kMakeAllSizes, kNoTool, "Ctrl+M"},
      {{0x75}, CommandAction::kPreviewSizes, kNoTool, "F6"},
  };
  for (const auto& c : cases) {
    const MainCommand* command = FindShortcutCommand(c.key);
    ASSERT_NE(command, nullptr) << c.text;
    EXPECT_EQ(command->action, c.action) << c.text;
    EXPECT_EQ(command->tool, c.tool) << c.text;
    EXPECT_EQ(ShortcutText(c.key), c.text);
  }
  // A modifier the table does not name is another key.
  EXPECT_EQ(FindShortcutCommand({'P', kCtrl}), nullptr);
  EXPECT_EQ(FindShortcutCommand({'Z'}), nullptr);

  EXPECT_EQ(TooltipWithShortcut("TOOL_PEN", "Pen"), "Pen (P)");
  EXPECT_EQ(TooltipWithShortcut("TOOL_UNDO", "Undo"), "Undo (Ctrl+Z)");
  EXPECT_EQ(TooltipWithShortcut("TOOL_CLEAR", "Clear icon"), "Clear icon");
  EXPECT_EQ(TooltipWithShortcut("NOT_A_COMMAND", "Other"), "Other");
  EXPECT_EQ(TooltipWithShortcut("TOOL_LINE", ""), "L");
}

}  // namespace
}  // namespace glyph
