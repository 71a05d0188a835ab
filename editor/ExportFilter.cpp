#include "editor/ExportFilter.h"

#include <algorithm>
#include <cctype>

namespace glyph {
namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

ExportFilter ExportFilter::Parse(const std::string& list) {
  ExportFilter filter;
  size_t pos = 0;
  while (pos < list.size() && filter.descriptions.size() < kMaxTypes) {
    const size_t end = std::min(list.find('|', pos), list.size());
    if (end > pos) {
      std::string description = list.substr(pos, end - pos);
      std::string pattern;
      const size_t open = description.find('(');
      if (open != std::string::npos) {
        const size_t close = description.find(')', open + 1);
        pattern =
            description.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
      }
      filter.extensions.push_back(pattern.empty() ? std::string() : pattern.substr(1));
      filter.patterns.push_back(std::move(pattern));
      filter.descriptions.push_back(std::move(description));
    }
    pos = end + 1;
  }
  return filter;
}

std::string ExportFilter::PlatformFilter() const {
  std::string out;
  for (size_t i = 0; i < descriptions.size(); ++i) {
    out += descriptions[i];
    out += '\0';
    out += patterns[i];
    out += '\0';
  }
  out += '\0';
  return out;
}

std::string ExportFilter::InitialName(const std::string& name) const {
  std::string out = name.empty() ? "*" + (extensions.empty() ? std::string() : extensions.front()) : name;
  if (out.size() > kMaxName) out.resize(kMaxName);
  return out;
}

int ExportFilter::FormatIndexFor(const std::string& name) const {
  const size_t dot = name.find('.');
  if (dot == std::string::npos) return 1;
  const std::string tail = name.substr(dot);
  for (size_t i = 0; i < extensions.size(); ++i) {
    if (EqualNoCase(tail, extensions[i])) return static_cast<int>(i) + 1;
  }
  return 1;
}

std::string ExtensionOfDescription(const std::string& description) {
  const size_t star = description.find('*');
  if (star == std::string::npos) return std::string();
  const size_t close = description.find(')', star + 1);
  return description.substr(star + 1, close == std::string::npos ? std::string::npos : close - star - 1);
}

std::string ApplyExtension(const std::string& name, const std::string& extension) {
  if (name.empty()) return "*" + extension;
  const size_t dot = name.find('.');
  if (dot == std::string::npos) return name + extension;
  return name.substr(0, dot) + extension;
}

}  // namespace glyph
