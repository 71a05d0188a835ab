// Icons of files the user points at, made by the program's own reader
// (IconResources.h) instead of the platform's extraction, which brings
// the process down on files whose headers lie. Wide paths throughout.
//
// Count and extraction here replace ExtractIconA(file, -1) and
// ExtractIconA(file, i): a file without icons, or one that cannot be read
// or is refused, has 0 icons and gives no icon.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

#include "framework/Handles.h"
#include "icon/ByteReader.h"
#include "icon/IconResources.h"

namespace glyph {

// A file scanned once and kept open: for a caller that counts and then
// makes every icon of one file. Only what the scan needs is read (headers,
// tables, directories, image headers), then each image when its icon is
// made; a read that fails refuses the file or gives no icon.
class IconFile {
 public:
  IconFile() = default;
  IconFile(const IconFile&) = delete;
  IconFile& operator=(const IconFile&) = delete;

  // Opens and scans the file. False (and no icons) when it cannot be read
  // or is refused; Scan() then says why.
  bool Open(const std::wstring& path);
  // The same for whatever `reader` reads (tests make its reads fail).
  bool Open(std::unique_ptr<icon::ByteReader> reader);
  size_t Count() const { return scan_.Count(); }
  const icon::IconScan& Scan() const { return scan_; }
  // Icon `index`, made from the image that fits size x size best (the
  // system icon size when 0). Empty when there is no such icon.
  UniqueIcon Icon(size_t index, int size = 0) const;

 private:
  bool Refuse(std::string why);

  std::unique_ptr<icon::ByteReader> reader_;
  icon::IconScan scan_;
};

// Number of icons in the file at `path`, as IconFile counts them, reading
// only what a count needs (icon::CountIcons).
size_t CountFileIcons(const std::wstring& path);
// The same for a file whose size a folder listing gave: one request to
// the file system fewer.
size_t CountFileIcons(const std::wstring& path, uint64_t listedSize);
// Icon `index` of the file at `path` (size as in IconFile::Icon).
UniqueIcon LoadFileIcon(const std::wstring& path, size_t index, int size = 0);
// An icon made from `group`'s image that suits size x size on this
// display best, read from `file`; when that image cannot be made, the
// group's other images are tried in order.
UniqueIcon MakeGroupIcon(const icon::IconGroup& group, icon::ByteReader& file, int size);

}  // namespace glyph
