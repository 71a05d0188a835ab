// A file read at offsets with ReadFile, for ByteReader users on Windows.
//
// Reads go through the file handle, never through a mapped view: when the
// file goes away under the reader (a network share dropped, a removable
// disk pulled) a read fails and the caller refuses the file, where a
// mapped view would raise an in-page exception that ends the process.
// Others may read and delete the file while it is open, not write it.
// A reader is used by one thread at a time: reads move its file position.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "icon/ByteReader.h"

namespace glyph {

class FileReader final : public icon::ByteReader {
 public:
  // Opens the file; false, with `why` set, when it cannot be opened or its
  // size cannot be told.
  bool Open(const std::wstring& path, std::string& why);
  // Opens a file whose size a folder listing has just given. Should the
  // file have changed since, a read past its real end fails and a longer
  // file is read only up to `size`: never more than what is there.
  bool OpenListed(const std::wstring& path, uint64_t size, std::string& why);
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, std::span<uint8_t> out) override;

 private:
  UniqueFile file_;
  uint64_t size_ = 0;
};

}  // namespace glyph
