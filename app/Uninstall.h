// "/uninstall" on the command line: remove the application profile and end
// without a window.
#pragma once

#include <string>

namespace glyph {

// True when the command line, in any letter case, is "/uninstall".
bool IsUninstallCommand(const std::string& commandLine);

// Deletes HKEY_CURRENT_USER\SOFTWARE\Vorlane\Glyphsmith with everything
// below it (the profile keeps one sub-key per section, and a key with
// sub-keys cannot be deleted on its own). Returns true when it is gone.
bool RemoveApplicationProfile();

}  // namespace glyph
