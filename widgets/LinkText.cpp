#include "widgets/LinkText.h"

#include <cstdio>

namespace glyph {
namespace {

// The first occurrence of needle in text that starts on a character boundary.
size_t FindAtBoundary(std::string_view text, std::string_view needle, LeadByteTest isLeadByte) {
  for (size_t i = 0; i + needle.size() <= text.size(); ++i) {
    if (text.substr(i, needle.size()) == needle) return i;
    if (isLeadByte && isLeadByte(static_cast<unsigned char>(text[i]))) ++i;
  }
  return std::string_view::npos;
}

const char* ExplainCode(long long code) {
  switch (code) {
    case 0:
      return "The operating system is out\nof memory or resources.";
    case 2:
      return "The specified file was not found.";
    case 3:
      return "The specified path was not found.";
    case 5:
      return "The operating system denied\naccess to the specified file.";
    case 8:
      return "There was not enough memory to complete the operation.";
    case 11:
      return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26:
      return "A sharing violation occurred. ";
    case 27:
      return "The filename association is\nincomplete or invalid.";
    case 28:
      return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29:
      return "The DDE transaction failed.";
    case 30:
      return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
             "processed.";
    case 31:
      return "There is no application associated\nwith the given filename extension.";
    case 32:
      return "The specified dynamic-link library was not found.";
    default:
      return nullptr;
  }
}

}  // namespace

std::string OpenErrorMessage(long long code) {
  std::string text = "Can't open link:\n\n";
  if (const char* known = ExplainCode(code)) return text + known;
  char unknown[64];
  std::snprintf(unknown, sizeof unknown, "Unknown Error (%lld) occurred.", code);
  return text + unknown;
}

std::string FallbackCommandLine(std::string_view command, std::string_view target, LeadByteTest isLeadByte) {
  size_t cut = FindAtBoundary(command, "\"%1\"", isLeadByte);
  if (cut == std::string_view::npos) cut = FindAtBoundary(command, "%1", isLeadByte);
  std::string line(command.substr(0, cut));
  line += ' ';
  line += target;
  return line;
}

}  // namespace glyph
