// Texts of the hyperlink that need no window: the explanation of a failed
// open and the fallback command line built from the ".htm" open command.
#pragma once

#include <string>
#include <string_view>

namespace glyph {

// "Can't open link:\n\n" followed by the explanation of a shell-execute
// error code (values 0..32).
std::string OpenErrorMessage(long long code);

using LeadByteTest = bool (*)(unsigned char);

// The command line that opens target with a registered open command: the
// command is cut at its "\"%1\"" placeholder (else at a bare "%1"; with
// neither it is kept whole), then a blank and the unquoted target follow.
// Placeholders are found only at character boundaries when isLeadByte is
// given (double-byte code pages).
std::string FallbackCommandLine(std::string_view command, std::string_view target,
                                LeadByteTest isLeadByte = nullptr);

}  // namespace glyph
