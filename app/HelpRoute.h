// Where a help request goes. The compiled help file (glyphsmith.chm beside
// the program) needs a viewer that renders HTML. Wine's viewer renders
// with its Gecko engine, which is often not installed: it then shows the
// contents beside empty pages. The same pages ship as plain HTML in the
// "help" folder beside the program, so where the viewer cannot show pages,
// or the help file is missing, a help request opens help\index.html
// through the shell instead (the user's browser).
#pragma once

#include <string>
#include <vector>

namespace glyph {

// The program's path with its extension replaced by ".chm".
std::wstring CompiledHelpPath(const std::wstring& programPath);
// help\index.html in the program's folder.
std::wstring HtmlHelpPath(const std::wstring& programPath);

// The document a help request opens for the program at `programPath`:
// the compiled help when it exists and `viewerShowsPages`, else the HTML
// pages when they exist, else the compiled help all the same (a missing
// help file is not reported).
std::wstring HelpDocument(const std::wstring& programPath, bool viewerShowsPages);

// Whether the platform's help viewer shows pages: always on Windows; under
// Wine only with its Gecko engine installed in one of `geckoPlaces`.
bool HelpViewerShowsPages(const std::vector<std::wstring>& geckoPlaces);
// Where Wine 8 looks for Gecko, as patterns with a wildcard in their last
// part: a version folder in the prefix's system32\gecko (where an installed
// MSI puts it), and wine-gecko-* in the shared folders /usr/share/wine/gecko,
// /usr/share/wine/wine/gecko and /opt/wine/gecko (an unpacked engine, or an
// MSI that Wine installs by itself).
std::vector<std::wstring> GeckoPlaces();

}  // namespace glyph
