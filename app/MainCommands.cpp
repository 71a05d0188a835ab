#include "app/MainCommands.h"

#include <string_view>

namespace glyph {
namespace {

using enum CommandAction;

constexpr MainCommand kCommands[] = {
    {.skinName = "BUTTON_EXIT", .action = kExit},
    {.skinName = "BUTTON_MINIMIZE", .action = kMinimize},
    {.skinName = "BUTTON_HELP", .action = kHelp},
    {.skinName = "BUTTON_LOAD", .action = kLoad},
    {.skinName = "QaS", .action = kSaveAs},
    {.skinName = "TOOL_UNDO", .action = kUndo},
    {.skinName = "TOOL_PHOTO", .action = kCamera, .whileHeld = true},
    {.skinName = "TOOL_CLEAR", .action = kClear},
    {.skinName = "TOOL_BLUR_ALL", .action = kBlurImage},
    {.skinName = "TOOL_PEN", .action = kSelectTool, .tool = TOOL_PEN},
    {.skinName = "TOOL_LINE", .action = kSelectTool, .tool = TOOL_LINE},
    {.skinName = "TOOL_RECT", .action = kSelectTool, .tool = TOOL_RECT},
    {.skinName = "TOOL_ELLIPSE", .action = kSelectTool, .tool = TOOL_ELLIPSE},
    {.skinName = "TOOL_FILL_RECT", .action = kSelectTool, .tool = TOOL_FILL_RECT},
    {.skinName = "TOOL_FILL_ELLIPSE", .action = kSelectTool, .tool = TOOL_FILL_ELLIPSE},
    {.skinName = "TOOL_FILL", .action = kSelectTool, .tool = TOOL_FILL},
    {.skinName = "TOOL_PICK", .action = kSelectTool, .tool = TOOL_PICK},
    {.skinName = "TOOL_TEXT", .action = kSelectTool, .tool = TOOL_TEXT},
    {.skinName = "TOOL_BLUR", .action = kSelectTool, .tool = TOOL_BLUR},
};

}  // namespace

std::span<const MainCommand> MainCommands() { return kCommands; }

const MainCommand* FindCommand(std::string_view skinName) {
  for (const MainCommand& command : kCommands)
    if (skinName == command.skinName) return &command;
  return nullptr;
}

const MainCommand* FindToolCommand(int tool) {
  for (const MainCommand& command : kCommands)
    if (command.action == kSelectTool && command.tool == tool) return &command;
  return nullptr;
}

}  // namespace glyph
