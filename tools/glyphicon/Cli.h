// What every glyphicon command shares: paths as the platform gives them
// (wide on Windows, so names outside the code page are not lost), whole
// files read and written, and messages in one form ("glyphicon: WHAT: WHY").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphicon {

#ifdef _WIN32
using Path = std::wstring;
#else
using Path = std::string;
#endif

// The arguments as given, the program's name first.
std::vector<Path> Arguments(int argc, char** argv);
// A path (or any argument) as UTF-8, for messages and parsing.
std::string Printable(const Path& path);
Path Join(const Path& folder, const std::string& name);

// Reads a whole file of at most 1 GiB; on failure says why on stderr and
// returns false.
bool ReadWholeFile(const Path& path, std::vector<std::uint8_t>& bytes);
// Writes a whole file; on failure says so on stderr, removes what was
// written and returns false.
bool WriteWholeFile(const Path& path, const std::vector<std::uint8_t>& bytes);
// Makes a folder and its parents when missing; false (said on stderr) when
// it cannot.
bool MakeFolder(const Path& path);

// "glyphicon: WHAT: WHY" on stderr.
void Complain(const std::string& what, const std::string& why);

// An icon index: digits only; otherwise says so and returns false.
bool ParseIndex(const Path& text, unsigned long long& index);

// Commands: each returns the exit status (0 done, 1 a file could not be
// read, made or written, 2 a bad argument). Make and Export return -1 when
// their arguments do not follow the usage at all.
int Count(const std::vector<Path>& files);
int List(const Path& path);
int Extract(const Path& path, const Path& index, const Path& out);
int Info(const Path& path);
int Make(const std::vector<Path>& args);
int Export(const std::vector<Path>& args);

}  // namespace glyphicon
