// The command table's consistency: what a new row could get wrong.
#include "app/MainCommands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace glyph {
namespace {

TEST(MainCommandsTest, NamesAndShortcutsAreUniqueAndEveryToolHasOneButton) {
  std::set<std::string> names;
  int toolRows[kToolCount] = {};
  for (const MainCommand& command : MainCommands()) {
    ASSERT_NE(command.skinName, nullptr);
    const std::string name = command.skinName;
    EXPECT_FALSE(name.empty());
    EXPECT_TRUE(names.insert(name).second) << name << " twice";
    EXPECT_EQ(FindCommand(name), &command) << name;
    if (command.action == CommandAction::kSelectTool) {
      ASSERT_TRUE(command.tool >= 0 && command.tool < kToolCount) << name;
      ++toolRows[command.tool];
    } else {
      EXPECT_EQ(command.tool, kNoTool) << name;
    }
    if (!command.shortcut.IsSet()) continue;
    for (const MainCommand& other : MainCommands()) {
      if (&other == &command) continue;
      EXPECT_FALSE(other.shortcut == command.shortcut) << name << " " << other.skinName;
    }
  }
  for (int tool = 0; tool < kToolCount; ++tool) {
    EXPECT_EQ(toolRows[tool], 1) << "tool " << tool;
    ASSERT_NE(FindToolCommand(tool), nullptr) << tool;
    EXPECT_EQ(FindToolCommand(tool)->tool, tool);
  }
  EXPECT_EQ(FindToolCommand(kToolCount), nullptr);
  EXPECT_EQ(FindToolCommand(kNoTool), nullptr);
}

}  // namespace
}  // namespace glyph
