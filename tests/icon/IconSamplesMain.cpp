// Writes the sample icon sources, good and hostile, into a folder: the
// seed corpus of the icon-resource fuzzer and input for checks of the
// glyphicon tool against other readers.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/icon/IconSamples.h"

using namespace glyph::test;

namespace {

void Write(const std::filesystem::path& dir, const std::string& name, const ByteVector& bytes) {
  std::ofstream out(dir / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Set32(ByteVector& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: iconres_samples FOLDER\n");
    return 2;
  }
  const std::filesystem::path dir(argv[1]);
  std::filesystem::create_directories(dir);
  const std::vector<SampleGroup> groups = {
      {"MAINICON", 0, {MakeDibImage(16, 16, 4, 1), MakeDibImage(32, 32, 8, 2)}},
      {"", 3, {MakeDibImage(32, 32, 32, 3), MakePngImage(48, 48, 4)}},
      {"", 9, {MakeDibImage(32, 32, 1, 5)}},
  };
  const ByteVector pe64 = MakePeFile(groups, true), pe32 = MakePeFile(groups, false);
  const ByteVector ne = MakeNeFile(groups);
  const ByteVector ico = MakeIcoFile({MakeDibImage(32, 32, 4, 1), MakeDibImage(16, 16, 24, 2)});
  Write(dir, "good-pe64.dll", pe64);
  Write(dir, "good-pe32.exe", pe32);
  Write(dir, "good-ne.exe", ne);
  Write(dir, "good.ico", ico);
  Write(dir, "good-png.ico", MakeIcoFile({MakePngImage(32, 32, 7)}));

  // As writers really leave them: a 32-bit image without its mask plane,
  // directory fields nobody reads, a byte count past the end of the file;
  // and the clean file the same images make. A picture under an icon's name.
  const ByteVector alpha = MakeDibImage(16, 16, 32, 3), palette = MakeDibImage(32, 32, 8, 4);
  ByteVector wild = MakeIcoFile({WithoutMaskPlane(alpha), palette});
  wild[6 + 3] = 0x55;                                             // reserved
  wild[6 + 6] = 0;                                                // bit count
  wild[6 + 16 + 2] = 0xFF;                                        // colour count
  wild[6 + 16 + 8] = static_cast<uint8_t>(wild[6 + 16 + 8] + 9);  // byte count
  Write(dir, "wild.ico", wild);
  Write(dir, "wild-clean.ico", MakeIcoFile({alpha, palette}));
  Write(dir, "png-picture.ico", MakePngImage(32, 32, 7));

  // Tiny ones: quick seeds for the fuzzer.
  const std::vector<SampleGroup> tiny = {{"A", 0, {MakeDibImage(1, 1, 1, 1)}},
                                         {"", 2, {MakeDibImage(2, 2, 4, 2), MakeDibImage(1, 1, 32, 3)}}};
  Write(dir, "tiny-pe64.dll", MakePeFile(tiny, true));
  Write(dir, "tiny-pe32.exe", MakePeFile(tiny, false));
  Write(dir, "tiny-ne.exe", MakeNeFile(tiny));
  Write(dir, "tiny.ico", MakeIcoFile({MakeDibImage(1, 1, 8, 1), MakeDibImage(2, 1, 16, 2)}));

  // Hostile files of the kinds that bring down the platform's extraction.
  Write(dir, "cut-1k.exe", ByteVector(pe64.begin(), pe64.begin() + 1024));
  Write(dir, "cut-rsrc.dll", ByteVector(pe64.begin(), pe64.begin() + kPeResourceAt + 40));
  ByteVector past = pe64;
  Set32(past, kPeSectionTableAt(true) + 20, 0x00F00000);
  Write(dir, "rsrc-past-end.dll", past);
  ByteVector loop = pe64;
  Set32(loop, kPeResourceAt + 16 + 8 + 4, 0x80000000u);
  Write(dir, "rsrc-loop.dll", loop);
  ByteVector neLie = ne;
  neLie[kNeHeaderAt + 0x24] = 0xF0;
  neLie[kNeHeaderAt + 0x25] = 0xFF;
  neLie[kNeHeaderAt + 0x26] = 0xF8;
  neLie[kNeHeaderAt + 0x27] = 0xFF;
  Write(dir, "ne-table-past-end.exe", neLie);
  Write(dir, "ne-cut.exe", ByteVector(ne.begin(), ne.begin() + kNeHeaderAt + 80));
  Write(dir, "header-only.ico", ByteVector(ico.begin(), ico.begin() + 6));
  ByteVector icoLie = ico;
  Set32(icoLie, 6 + 12, 0xFFFFFF00u);
  Set32(icoLie, 6 + 16 + 8, 0x7FFFFFFFu);
  Write(dir, "ico-lies.ico", icoLie);
  return 0;
}
