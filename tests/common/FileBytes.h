// Whole files read and written as byte strings by the tests.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace glyph::test {

// The file's bytes; empty when it cannot be read. `Path` is anything a
// file stream opens (a std::string, a C string, a std::filesystem::path).
template <class Path>
std::string ReadAll(const Path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Replaces the file's contents with `bytes`.
template <class Path>
void WriteAll(const Path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace glyph::test
