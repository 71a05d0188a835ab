// Measures the block-sorting compressor against "bzip2 -9" on one mixed
// corpus, side by side in one run, and converts raw streams for checks
// between builds (a stream written natively must read back under Wine).
//
//   compress_bench                 run the benchmark (needs bzip2 on PATH)
//   compress_bench --only KIND     run the cases of one kind only (e.g. ELF)
//   compress_bench corpus DIR      write each case to DIR/KIND.NAME, to profile "compress" on
//   compress_bench compress IN OUT
//   compress_bench decompress IN OUT SIZE
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "support/compress.h"
#include "tests/common/Xorshift.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

Bytes ReadFile(const fs::path& path, std::size_t limit = SIZE_MAX) {
  std::ifstream in(path, std::ios::binary);
  Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() > limit) b.resize(limit);
  return b;
}

bool WriteFile(const fs::path& path, const Bytes& b) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  return static_cast<bool>(out);
}

using Rng = glyph::test::Xorshift;

// A 24-bit bitmap file: gradients, flat shapes and a little noise, like a skin picture.
Bytes MakeBitmap(int w, int h) {
  const std::uint32_t row = static_cast<std::uint32_t>((w * 3 + 3) & ~3);
  const std::uint32_t image = row * static_cast<std::uint32_t>(h);
  Bytes b(54 + image, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<std::uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  b[26] = 1;
  b[28] = 24;
  put32(34, image);
  Rng rng{12345};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = &b[54 + static_cast<std::size_t>(y) * row + static_cast<std::size_t>(x) * 3];
      const bool inBox = (x / 80 + y / 60) % 3 == 0;
      const int noise = static_cast<int>(rng.Next() % 5) - 2;
      p[0] = static_cast<std::uint8_t>(inBox ? 192 : (x * 255 / w + noise) & 0xFF);
      p[1] = static_cast<std::uint8_t>(inBox ? 192 : (y * 255 / h) & 0xFF);
      p[2] = static_cast<std::uint8_t>(inBox ? 192 : ((x + y) / 4 + noise) & 0xFF);
    }
  }
  return b;
}

struct Case {
  std::string kind;  // cases of one kind share a ratio line
  std::string name;
  Bytes data;
};

// A table of figures as a spreadsheet exports it: dates, names, amounts.
Bytes MakeCsv(std::size_t size) {
  static const char* const kNames[] = {"Adams", "Baker", "Clark", "Davis", "Evans", "Frank", "Ghosh", "Hill"};
  static const char* const kCities[] = {"Leeds", "Lyon", "Porto", "Bonn", "Turin", "Ghent", "Cork"};
  Rng rng{777};
  std::string text = "id,date,name,city,amount,quantity\n";
  char line[128];
  for (unsigned id = 1; text.size() < size; ++id) {
    const int n =
        std::snprintf(line, sizeof line, "%u,2023-%02u-%02u,%s,%s,%u.%02u,%u\n", id, 1 + rng.Next() % 12,
                      1 + rng.Next() % 28, kNames[rng.Next() % 8], kCities[rng.Next() % 7], rng.Next() % 5000,
                      rng.Next() % 100, rng.Next() % 40);
    text.append(line, static_cast<std::size_t>(n));
  }
  return Bytes(text.begin(), text.end());
}

Bytes MakePeriodic(const Bytes& unit, std::size_t size) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = unit[i % unit.size()];
  return b;
}

std::vector<Case> BuildCorpus() {
  std::vector<Case> cases;
  const fs::path wine = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";
  for (const char* dll : {"user32.dll", "comctl32.dll", "shell32.dll"}) {
    Bytes b = ReadFile(wine / dll, 2000000);
    if (!b.empty()) cases.push_back({"PE", dll, std::move(b)});
  }
  for (const char* elf : {"/usr/lib/x86_64-linux-gnu/libstdc++.so.6", "/usr/bin/cmake"}) {
    Bytes b = ReadFile(elf, 2000000);
    if (!b.empty()) cases.push_back({"ELF", fs::path(elf).filename().string(), std::move(b)});
  }
  Bytes text;
  for (const auto& entry : fs::directory_iterator("/usr/share/common-licenses")) {
    if (!entry.is_regular_file()) continue;
    const Bytes b = ReadFile(entry.path());
    text.insert(text.end(), b.begin(), b.end());
  }
  const Bytes compose = ReadFile("/usr/share/X11/locale/en_US.UTF-8/Compose");
  text.insert(text.end(), compose.begin(), compose.end());
  if (!text.empty()) cases.push_back({"text", "text", std::move(text)});
  cases.push_back({"CSV", "csv", MakeCsv(2000000)});
  cases.push_back({"bitmap", "bitmap", MakeBitmap(800, 600)});

  Rng rng{42};
  Bytes random(1000000);
  for (auto& x : random) x = static_cast<std::uint8_t>(rng.Next());
  cases.push_back({"random", "random", random});
  cases.push_back({"one byte", "one byte", Bytes(4000000, 'a')});
  cases.push_back({"period 3", "period 3", MakePeriodic({'a', 'b', 'c'}, 3000000)});
  cases.push_back(
      {"period 251", "period 251", MakePeriodic(Bytes(random.begin(), random.begin() + 251), 3000000)});
  // A 40 KB random piece repeated with one change in a thousand.
  Bytes near;
  const Bytes piece(random.begin(), random.begin() + 40000);
  while (near.size() < 2000000) near.insert(near.end(), piece.begin(), piece.end());
  for (std::size_t i = 0; i < near.size(); i += 1000 + rng.Next() % 64)
    near[i] = static_cast<std::uint8_t>(rng.Next());
  cases.push_back({"near repeats", "near repeats", std::move(near)});
  return cases;
}

int Convert(int argc, char** argv) {
  const std::string mode = argv[1];
  if (mode == "corpus" && argc == 3) {
    fs::create_directories(argv[2]);
    for (const Case& c : BuildCorpus()) {
      if (!WriteFile(fs::path(argv[2]) / (c.kind + "." + c.name), c.data)) return 1;
    }
    return 0;
  }
  if (mode == "compress" && argc == 4) {
    std::FILE* in = std::fopen(argv[2], "rb");
    std::FILE* out = std::fopen(argv[3], "wb");
    if (!in || !out) return 2;
    support::compressStream(in, out, nullptr);
    std::fclose(in);
    return std::fclose(out) == 0 ? 0 : 1;
  }
  if (mode == "decompress" && argc == 5) {
    std::FILE* in = std::fopen(argv[2], "rb");
    if (!in) return 2;
    Bytes out(std::strtoull(argv[4], nullptr, 10));
    std::size_t n = 0;
    const bool ok = support::uncompressStream(in, out.data(), out.size(), nullptr, &n);
    std::fclose(in);
    out.resize(n);
    return ok && WriteFile(argv[3], out) ? 0 : 1;
  }
  std::fprintf(
      stderr,
      "usage: compress_bench [--only KIND | corpus DIR | compress IN OUT | decompress IN OUT SIZE]\n");
  return 2;
}

// Processor time (user + system) of this process and of its finished
// children: the machine is shared, so wall time would measure the others.
double CpuSeconds() {
#ifdef _WIN32
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#else
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage u{};
    getrusage(who, &u);
    total += static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
             static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
  }
  return total;
#endif
}

// Best of five runs of each side, the two sides taking turns: a
// disturbance by another process neither counts nor falls on one side only.
template <class Ours, class Theirs>
std::pair<double, double> TimeBoth(Ours&& ours, Theirs&& theirs) {
  double best[2] = {1e9, 1e9};
  for (int i = 0; i < 5; ++i) {
    double t0 = CpuSeconds();
    ours();
    best[0] = std::min(best[0], CpuSeconds() - t0);
    t0 = CpuSeconds();
    theirs();
    best[1] = std::min(best[1], CpuSeconds() - t0);
  }
  return {std::max(best[0], 1e-6), std::max(best[1], 1e-6)};
}

int Bench(const std::string& onlyKind) {
  if (std::system("bzip2 --help >/dev/null 2>&1") != 0) {
    std::fprintf(stderr, "compress_bench: bzip2 is not installed (apt-get install bzip2)\n");
    return 2;
  }
  const fs::path dir =
      fs::temp_directory_path() /
      ("compress_bench." + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  std::vector<Case> cases = BuildCorpus();
  if (!onlyKind.empty()) {
    std::erase_if(cases, [&](const Case& c) { return c.kind != onlyKind; });
    if (cases.empty()) {
      std::fprintf(stderr, "compress_bench: no cases of kind '%s'\n", onlyKind.c_str());
      return 2;
    }
  }

  struct Row {
    std::string kind, name;
    double size, ours, theirs, ourC, theirC, ourD, theirD;
  };
  std::vector<Row> rows;
  int failures = 0;
  for (const Case& c : cases) {
    const fs::path in = dir / "in", packed = dir / "in.res", bz = dir / "in.bz2";
    WriteFile(in, c.data);
    Row r{c.kind, c.name, static_cast<double>(c.data.size()), 0, 0, 0, 0, 0, 0};
    const std::string compressCmd = "bzip2 -9 -c '" + in.string() + "' > '" + bz.string() + "'";
    const std::string decompressCmd = "bzip2 -d -c '" + bz.string() + "' > /dev/null";
    std::tie(r.ourC, r.theirC) = TimeBoth(
        [&] {
          std::FILE* src = std::fopen(in.string().c_str(), "rb");
          std::FILE* dst = std::fopen(packed.string().c_str(), "wb");
          support::compressStream(src, dst, nullptr);
          std::fclose(src);
          std::fclose(dst);
        },
        [&] { failures += std::system(compressCmd.c_str()) != 0; });
    Bytes back(c.data.size());
    std::tie(r.ourD, r.theirD) = TimeBoth(
        [&] {
          std::FILE* src = std::fopen(packed.string().c_str(), "rb");
          std::size_t n = 0;
          support::uncompressStream(src, back.data(), back.size(), nullptr, &n);
          std::fclose(src);
        },
        [&] { failures += std::system(decompressCmd.c_str()) != 0; });
    if (back != c.data) {
      std::fprintf(stderr, "%s: round trip differs\n", c.name.c_str());
      ++failures;
    }
    r.ours = static_cast<double>(fs::file_size(packed));
    r.theirs = static_cast<double>(fs::file_size(bz));
    rows.push_back(r);
  }
  fs::remove_all(dir);

  // Our time per byte of each case against the median case's.
  auto relativeToMedian = [&](double Row::*time) {
    std::vector<double> perByte;
    for (const Row& r : rows) perByte.push_back(r.*time / r.size);
    std::vector<double> sorted = perByte;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    for (double& x : perByte) x /= median;
    return perByte;
  };
  const std::vector<double> compressMedian = relativeToMedian(&Row::ourC);
  const std::vector<double> decompressMedian = relativeToMedian(&Row::ourD);

  std::printf("%-14s %10s %10s %10s %6s  %8s %8s %6s  %8s %8s %6s  %s\n", "case", "bytes", "ours", "bzip2",
              "size", "ourMB/s", "bzMB/s", "comp", "ourMB/s", "bzMB/s", "decomp", "t/median c, d");
  Row total{"", "total", 0, 0, 0, 0, 0, 0, 0};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    std::printf("%-14s %10.0f %10.0f %10.0f %6.3f  %8.2f %8.2f %6.2f  %8.2f %8.2f %6.2f  %5.2f %5.2f\n",
                r.name.c_str(), r.size, r.ours, r.theirs, r.ours / r.theirs, r.size / r.ourC / 1e6,
                r.size / r.theirC / 1e6, r.theirC / r.ourC, r.size / r.ourD / 1e6, r.size / r.theirD / 1e6,
                r.theirD / r.ourD, compressMedian[i], decompressMedian[i]);
    total.size += r.size;
    total.ours += r.ours;
    total.theirs += r.theirs;
    total.ourC += r.ourC;
    total.theirC += r.theirC;
    total.ourD += r.ourD;
    total.theirD += r.theirD;
  }
  const Row& t = total;
  std::printf("%-14s %10.0f %10.0f %10.0f %6.3f  %8.2f %8.2f %6.2f  %8.2f %8.2f %6.2f\n", t.name.c_str(),
              t.size, t.ours, t.theirs, t.ours / t.theirs, t.size / t.ourC / 1e6, t.size / t.theirC / 1e6,
              t.theirC / t.ourC, t.size / t.ourD / 1e6, t.size / t.theirD / 1e6, t.theirD / t.ourD);
  std::printf(
      "size = ours / bzip2 (goal <= 1.00); comp, decomp = our throughput / bzip2's (goals >= 1.0, >= 0.7);\n"
      "t/median = our time per byte / the median case's, compressing and decompressing (goal <= 2)\n");

  // One line per kind and direction: the kind's bzip2 time over ours.
  for (const char* direction : {"decompression", "compression"}) {
    const bool decompress = direction[0] == 'd';
    std::vector<std::string> kinds;
    for (const Row& r : rows)
      if (std::find(kinds.begin(), kinds.end(), r.kind) == kinds.end()) kinds.push_back(r.kind);
    for (const std::string& kind : kinds) {
      double ours = 0, theirs = 0;
      for (const Row& r : rows) {
        if (r.kind != kind) continue;
        ours += decompress ? r.ourD : r.ourC;
        theirs += decompress ? r.theirD : r.theirC;
      }
      std::printf("ratio %s %s: %.2f x bzip2 %s\n", direction, kind.c_str(), theirs / ours,
                  decompress ? "-d" : "-9");
    }
  }
  return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--only") return Bench(argv[2]);
  if (argc > 1) return Convert(argc, argv);
  return Bench("");
}
