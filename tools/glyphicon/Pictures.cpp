// make and export: icons as documents of images, read from icon files,
// executables and pictures, and written as icon files and PNG pictures.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "icon/DocumentReader.h"
#include "icon/IcoWriter.h"
#include "icon/MakeIcon.h"
#include "icon/PngCodec.h"
#include "tools/glyphicon/Cli.h"

namespace glyphicon {
namespace {

using glyph::icon::IconDocument;
using glyph::icon::RgbaImage;

// A whole number in [low, high]; otherwise says what was wrong.
bool ParseNumber(const std::string& option, const std::string& text, int low, int high, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || text[0] == '+' || text[0] == ' ') {
    Complain(option, "\"" + text + "\" is not a number");
    return false;
  }
  if (parsed < low || parsed > high) {
    Complain(option, text + " is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")");
    return false;
  }
  value = static_cast<int>(parsed);
  return true;
}

bool ParseSizes(const std::string& text, std::vector<int>& sizes) {
  sizes.clear();
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    int size = 0;
    if (!ParseNumber("--sizes", text.substr(start, comma - start), 1, glyph::icon::kMaxIconSide, size))
      return false;
    sizes.push_back(size);
    start = comma + 1;
  }
  return true;
}

// Reads icon `index` of a file; images left out are named on stderr, and a
// file with no readable image is refused.
bool ReadIcon(const Path& path, const std::vector<std::uint8_t>& bytes, size_t index,
              glyph::icon::DocumentRead& read) {
  read = glyph::icon::ReadDocument(bytes, index);
  for (const std::string& note : read.notes) Complain(Printable(path), note);
  if (read.Ok()) return true;
  Complain(Printable(path), read.error);
  return false;
}

// The pictures an input gives: a PNG or BMP picture, or every image of an
// icon (an icon file's, or an executable's first).
bool ReadInputs(const Path& path, std::vector<RgbaImage>& inputs) {
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  std::string why;
  if (glyph::icon::IsPicture(bytes)) {
    RgbaImage picture;
    if (!glyph::icon::ReadPicture(bytes, picture, why)) {
      Complain(Printable(path), why);
      return false;
    }
    inputs.push_back(std::move(picture));
    return true;
  }
  glyph::icon::DocumentRead read;
  if (!ReadIcon(path, bytes, 0, read)) return false;
  for (auto& image : read.document.images) inputs.push_back(std::move(image.pixels));
  return true;
}

// PNG file names for a document's images: "16x16.png"; where two images
// share a size, their depths tell them apart ("16x16-8bit.png"), and a
// number any that still agree.
std::vector<std::string> ExportNames(const IconDocument& document) {
  std::map<std::pair<int, int>, int> perSize;
  for (const auto& image : document.images) ++perSize[{image.pixels.width, image.pixels.height}];
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (const auto& image : document.images) {
    std::string stem = std::to_string(image.pixels.width) + "x" + std::to_string(image.pixels.height);
    if (perSize[{image.pixels.width, image.pixels.height}] > 1)
      stem += "-" + std::to_string(image.bits) + "bit";
    std::string name = stem + ".png";
    for (int n = 2; taken.count(name); ++n) name = stem + "-" + std::to_string(n) + ".png";
    taken.insert(name);
    names.push_back(name);
  }
  return names;
}

}  // namespace

int Make(const std::vector<Path>& args) {
  if (args.size() < 2) return -1;
  const Path& out = args[0];
  glyph::icon::MakeOptions options;
  std::vector<Path> inputs;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string arg = Printable(args[i]);
    const bool hasValue = i + 1 < args.size();
    if (arg == "--sharp") {
      options.mode = glyph::icon::ResampleMode::kSharp;
    } else if (arg == "--sizes" || arg == "--png-from" || arg == "--bits") {
      if (!hasValue) {
        Complain(arg, "needs a value");
        return 2;
      }
      const std::string value = Printable(args[++i]);
      if (arg == "--sizes" && !ParseSizes(value, options.sizes)) return 2;
      // Any size above the largest stores no PNG at all.
      if (arg == "--png-from" && !ParseNumber(arg, value, 1, 1 << 20, options.pngFrom)) return 2;
      if (arg == "--bits") {
        if (value != "32" && value != "8" && value != "4") {
          Complain(arg, "\"" + value + "\" is not 32, 8 or 4");
          return 2;
        }
        options.bits = std::atoi(value.c_str());
      }
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      Complain(arg, "no such option");
      return 2;
    } else {
      inputs.push_back(args[i]);
    }
  }
  if (inputs.empty()) return -1;
  std::vector<RgbaImage> pictures;
  for (const Path& input : inputs) {
    if (!ReadInputs(input, pictures)) return 1;
  }
  IconDocument document;
  std::vector<std::uint8_t> bytes;
  std::string why;
  if (!glyph::icon::MakeDocument(pictures, options, document, why) ||
      !glyph::icon::WriteIcoFile(document, bytes, why)) {
    Complain(Printable(out), why);
    return 1;
  }
  return WriteWholeFile(out, bytes) ? 0 : 1;
}

int Export(const std::vector<Path>& args) {
  Path file, folder, indexText;
  bool haveFolder = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (Printable(args[i]) == "-o" && i + 1 < args.size() && !haveFolder) {
      folder = args[++i];
      haveFolder = true;
    } else if (file.empty()) {
      file = args[i];
    } else if (indexText.empty()) {
      indexText = args[i];
    } else {
      return -1;
    }
  }
  if (file.empty() || !haveFolder) return -1;
  unsigned long long index = 0;
  if (!indexText.empty() && !ParseIndex(indexText, index)) return 2;
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(file, bytes)) return 1;
  glyph::icon::DocumentRead read;
  if (!ReadIcon(file, bytes, static_cast<size_t>(index), read)) return 1;
  const IconDocument& document = read.document;
  std::string why;
  if (!MakeFolder(folder)) return 1;
  const std::vector<std::string> names = ExportNames(document);
  for (size_t i = 0; i < names.size(); ++i) {
    std::vector<std::uint8_t> png;
    if (!glyph::icon::EncodePng(document.images[i].pixels, png, why)) {
      Complain(names[i], why);
      return 1;
    }
    if (!WriteWholeFile(Join(folder, names[i]), png)) return 1;
    std::printf("%s\n", names[i].c_str());
  }
  return 0;
}

}  // namespace glyphicon
