// count, list, info and extract: the icon groups of executables, libraries
// and icon files as the scanner finds them, copied out byte for byte.
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "icon/IconResources.h"
#include "tools/glyphicon/Cli.h"

namespace glyphicon {
namespace {

using glyph::icon::IconScan;

// Scans read bytes; on refusal says why and returns false.
bool ScanBytes(const Path& path, const std::vector<std::uint8_t>& bytes, IconScan& scan) {
  scan = glyph::icon::ReadIcons(bytes);
  if (!scan.refused) return true;
  Complain(Printable(path), scan.problem);
  return false;
}

bool Scan(const Path& path, std::vector<std::uint8_t>& bytes, IconScan& scan) {
  return ReadWholeFile(path, bytes) && ScanBytes(path, bytes, scan);
}

// An icon's name or number; "-" for the one icon of an icon file.
std::string Label(const IconScan& scan, const glyph::icon::IconGroup& group) {
  return scan.kind == glyph::icon::IconFileKind::Ico ? "-" : glyph::icon::GroupLabel(group);
}

}  // namespace

bool ParseIndex(const Path& text, unsigned long long& index) {
  const std::string narrow = Printable(text);
  char* end = nullptr;
  errno = 0;
  index = std::strtoull(narrow.c_str(), &end, 10);
  if (!narrow.empty() && !*end && !errno && narrow[0] != '-' && narrow[0] != '+') return true;
  std::fprintf(stderr, "glyphicon: %s is not an icon index\n", narrow.c_str());
  return false;
}

int Count(const std::vector<Path>& files) {
  int status = 0;
  for (const Path& path : files) {
    std::vector<std::uint8_t> bytes;
    IconScan scan;
    // A file that cannot be read has no count at all, only its reason.
    if (!ReadWholeFile(path, bytes)) {
      status = 1;
      continue;
    }
    if (!ScanBytes(path, bytes, scan)) status = 1;
    std::printf("%zu\t%s\n", scan.Count(), Printable(path).c_str());
  }
  return status;
}

int List(const Path& path) {
  std::vector<std::uint8_t> bytes;
  IconScan scan;
  if (!Scan(path, bytes, scan)) return 1;
  for (size_t i = 0; i < scan.groups.size(); ++i) {
    const glyph::icon::IconGroup& group = scan.groups[i];
    std::string images;
    for (const glyph::icon::IconImage& image : group.images) {
      if (!images.empty()) images += ", ";
      images += std::to_string(image.width) + "x" + std::to_string(image.height) + " " +
                std::to_string(image.bitsPerPixel) + "bpp";
    }
    std::printf("%zu\t%s\t%s\n", i, Label(scan, group).c_str(), images.c_str());
  }
  return 0;
}

int Extract(const Path& path, const Path& indexText, const Path& outPath) {
  unsigned long long index = 0;
  if (!ParseIndex(indexText, index)) return 2;
  std::vector<std::uint8_t> bytes;
  IconScan scan;
  if (!Scan(path, bytes, scan)) return 1;
  if (index >= scan.Count()) {
    Complain(Printable(path),
             "no icon " + std::to_string(index) + " (the file holds " + std::to_string(scan.Count()) + ")");
    return 1;
  }
  const std::vector<std::uint8_t> ico =
      glyph::icon::MakeIconFile(scan.groups[static_cast<size_t>(index)], bytes);
  return WriteWholeFile(outPath, ico) ? 0 : 1;
}

int Info(const Path& path) {
  std::vector<std::uint8_t> bytes;
  IconScan scan;
  if (!Scan(path, bytes, scan)) return 1;
  std::printf("icon\tname\timage\tsize\tbits\tform\tbytes\n");
  for (size_t g = 0; g < scan.groups.size(); ++g) {
    const auto& group = scan.groups[g];
    const std::string label = Label(scan, group);
    for (size_t i = 0; i < group.images.size(); ++i) {
      const auto& image = group.images[i];
      std::printf("%zu\t%s\t%zu\t%dx%d\t%d\t%s\t%zu\n", g, label.c_str(), i, image.width, image.height,
                  image.bitsPerPixel, image.png ? "PNG" : "BMP", image.size);
    }
  }
  if (!scan.problem.empty()) Complain(Printable(path), scan.problem);
  return 0;
}

}  // namespace glyphicon
