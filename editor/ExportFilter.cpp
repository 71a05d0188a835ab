#include "editor/ExportFilter.h"

#include <algorithm>

namespace glyph {
namespace {

// Case folding of ASCII letters only: the extensions compared are ours.
wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return FoldAscii(x) == FoldAscii(y);
         });
}

}  // namespace

ExportFilter ExportFilter::Parse(const std::wstring& list) {
  ExportFilter filter;
  size_t pos = 0;
  while (pos < list.size() && filter.descriptions.size() < kMaxTypes) {
    const size_t end = std::min(list.find(L'|', pos), list.size());
    if (end > pos) {
      std::wstring description = list.substr(pos, end - pos);
      std::wstring pattern;
      const size_t open = description.find(L'(');
      if (open != std::wstring::npos) {
        const size_t close = description.find(L')', open + 1);
        pattern =
            description.substr(open + 1, close == std::wstring::npos ? std::wstring::npos : close - open - 1);
      }
      filter.extensions.push_back(pattern.empty() ? std::wstring() : pattern.substr(1));
      filter.patterns.push_back(std::move(pattern));
      filter.descriptions.push_back(std::move(description));
    }
    pos = end + 1;
  }
  return filter;
}

std::wstring ExportFilter::PlatformFilter() const {
  std::wstring out;
  for (size_t i = 0; i < descriptions.size(); ++i) {
    out += descriptions[i];
    out += L'\0';
    out += patterns[i];
    out += L'\0';
  }
  out += L'\0';
  return out;
}

std::wstring ExportFilter::InitialName(const std::wstring& name) const {
  std::wstring out = name.empty() ? L"*" + (extensions.empty() ? std::wstring() : extensions.front()) : name;
  if (out.size() > kMaxName) out.resize(kMaxName);
  return out;
}

int ExportFilter::FormatIndexFor(const std::wstring& name) const {
  const size_t dot = name.find(L'.');
  if (dot == std::wstring::npos) return 1;
  const std::wstring tail = name.substr(dot);
  for (size_t i = 0; i < extensions.size(); ++i) {
    if (EqualNoCase(tail, extensions[i])) return static_cast<int>(i) + 1;
  }
  return 1;
}

std::wstring ExtensionOfDescription(const std::wstring& description) {
  const size_t star = description.find(L'*');
  if (star == std::wstring::npos) return std::wstring();
  const size_t close = description.find(L')', star + 1);
  return description.substr(star + 1, close == std::wstring::npos ? std::wstring::npos : close - star - 1);
}

std::wstring ApplyExtension(const std::wstring& name, const std::wstring& extension) {
  if (name.empty()) return L"*" + extension;
  const size_t dot = name.find(L'.');
  if (dot == std::wstring::npos) return name + extension;
  return name.substr(0, dot) + extension;
}

std::wstring WithExtension(const std::wstring& path, const std::wstring& extension) {
  const size_t separator = path.find_last_of(L"\\/:");
  const size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
  if (nameStart >= path.size() || path.find(L'.', nameStart) != std::wstring::npos) return path;
  return path + extension;
}

size_t DialogPathLength(const std::wstring& folder, const std::wstring& typed,
                        const std::wstring& extension) {
  const bool absolute = (typed.size() >= 2 && typed[1] == L':') || typed.rfind(L"\\\\", 0) == 0;
  return (absolute ? 0 : folder.size() + 1) + typed.size() + extension.size();
}

}  // namespace glyph
