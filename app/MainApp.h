// CMainApp: the program's start. "/uninstall" removes the application
// profile and ends without a window; anything else is the path of a file
// whose first icon the main window opens with.
#pragma once

#include <string>

namespace glyph {

class CMainApp {
 public:
  // `commandLine`: what follows the program's name on its command line.
  // Returns the program's exit code.
  int Run(const std::wstring& commandLine);

  // The arguments part of a full command line (the program name, quoted
  // or not, removed), trimmed, and one pair of enclosing quotes taken off.
  static std::wstring ArgumentsOf(const std::wstring& fullCommandLine);
};

}  // namespace glyph
