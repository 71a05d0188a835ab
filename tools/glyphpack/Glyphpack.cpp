#include "Glyphpack.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "support/Archive.h"
#include "support/compress.h"

namespace glyphpack {

namespace {

namespace fs = std::filesystem;
using support::TArchiveEntry;
using support::TResourceArchive;

constexpr char kUsage[] =
    "usage: glyphpack COMMAND ARCHIVE [ARGUMENTS]\n"
    "\n"
    "  list ARCHIVE                      entries with method, sizes, checksum, time\n"
    "  add ARCHIVE [-m METHOD] [-u] FILE[=NAME]...\n"
    "                                    pack files (name in the archive: NAME, else FILE);\n"
    "                                    METHOD is plain, window or block (default block);\n"
    "                                    -u sets the entry's user flag. ARCHIVE may be any\n"
    "                                    file: the archive then follows its last byte\n"
    "  extract ARCHIVE [-o DIR] [NAME...]  write entries (all when none named) under DIR\n"
    "  remove ARCHIVE NAME...            drop entries (their bytes go at the next compact)\n"
    "  compact ARCHIVE                   rewrite the data without gaps\n"
    "  verify ARCHIVE                    unpack every entry and check its checksum\n"
    "  append FILE ARCHIVE               append ARCHIVE's data and directory to FILE\n"
    "  compress IN OUT                   pack IN as one raw block-sorted stream\n"
    "  decompress IN OUT [-s SIZE]       unpack a raw stream (at most SIZE bytes,\n"
    "                                    default 256 MiB)\n"
    "\n"
    "Edits work on a copy that replaces ARCHIVE only once it is complete.\n";

constexpr uint64_t kDefaultRawLimit = TResourceArchive::kMaxEntrySize;

// The copy that an edit works on; removed unless committed (also when a
// fatal failure report ends the process on the way).
std::string g_pendingCopy;

void RemovePendingCopy() {
  if (!g_pendingCopy.empty()) {
    std::remove(g_pendingCopy.c_str());
    g_pendingCopy.clear();
  }
}

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenFile(const std::string& path, const char* mode) { return File(std::fopen(path.c_str(), mode)); }

bool CopyFile(const std::string& from, const std::string& to, uint64_t start = 0) {
  File in = OpenFile(from, "rb");
  File out = OpenFile(to, "wb");
  if (!in || !out) return false;
  if (start && std::fseek(in.get(), static_cast<long>(start), SEEK_SET) != 0) return false;
  std::vector<char> buffer(1 << 16);
  for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0;) {
    if (std::fwrite(buffer.data(), 1, got, out.get()) != got) return false;
  }
  return !std::ferror(in.get()) && std::fflush(out.get()) == 0;
}

bool FileExists(const std::string& path) { return static_cast<bool>(OpenFile(path, "rb")); }

// The copy replaces the original: it keeps the original's permissions (an
// executable that carries an archive must stay executable).
void KeepPermissions(const std::string& original, const std::string& copy) {
  std::error_code ec;
  const fs::perms perms = fs::status(original, ec).permissions();
  if (!ec) fs::permissions(copy, perms, ec);
}

const char* MethodName(uint32_t flags) {
  if (!(flags & support::kEntryCompressed)) return "plain";
  return (flags & support::kEntryBlockSorted) ? "block" : "window";
}

// A name that stays inside the output folder: no absolute path, no "..".
bool SafeRelativeName(const std::string& name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
    start = end + 1;
  }
  return true;
}

class Tool {
 public:
  Tool(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  int Run(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
      (args.empty() ? err_ : out_) << kUsage;
      return args.empty() ? 2 : 0;
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "list") return List(rest);
    if (command == "add") return Add(rest);
    if (command == "extract") return Extract(rest);
    if (command == "remove") return Remove(rest);
    if (command == "compact") return Compact(rest);
    if (command == "verify") return Verify(rest);
    if (command == "append") return Append(rest);
    if (command == "compress") return CompressRaw(rest);
    if (command == "decompress") return DecompressRaw(rest);
    return Usage("unknown command \"" + command + "\"");
  }

 private:
  int Usage(const std::string& why) {
    err_ << "glyphpack: " << why << "\n\n" << kUsage;
    return 2;
  }
  int Fail(const std::string& why) {
    err_ << "glyphpack: " << why << "\n";
    return 1;
  }

  bool OpenForReading(TResourceArchive& archive, const std::string& path) {
    if (archive.Open(path.c_str(), false)) return true;
    if (!FileExists(path)) {
      Fail(path + ": cannot open");
    } else {
      Fail(path + ": not an archive, or its directory is damaged");
    }
    return false;
  }

  // Renames the finished copy over `path`; on failure the copy is removed.
  int PutCopyInPlace(const std::string& copy, const std::string& path) {
    std::error_code ec;
    fs::rename(copy, path, ec);
    if (ec) {
      RemovePendingCopy();
      return Fail(path + ": cannot replace: " + ec.message());
    }
    g_pendingCopy.clear();
    return 0;
  }

  // Runs `edit` on a copy of the archive (or of the host file), flushes it
  // and only then puts the copy in place of the original.
  template <class Edit>
  int EditCopy(const std::string& path, Edit edit) {
    const std::string copy = path + ".glyphpack~";
    g_pendingCopy = copy;
    if (FileExists(path)) {
      if (!CopyFile(path, copy)) {
        RemovePendingCopy();
        return Fail(path + ": cannot copy for editing");
      }
      KeepPermissions(path, copy);
    }
    {
      TResourceArchive archive;
      if (!archive.Open(copy.c_str(), true)) {
        RemovePendingCopy();
        return Fail(path + ": not an archive, or its directory is damaged");
      }
      if (const int status = edit(archive); status != 0) {
        RemovePendingCopy();
        return status;
      }
      if (!archive.Flush()) {
        RemovePendingCopy();
        return Fail(path + ": cannot write the directory");
      }
    }
    return PutCopyInPlace(copy, path);
  }

  int List(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("list takes one archive");
    TResourceArchive archive;
    if (!OpenForReading(archive, args[0])) return 1;
    out_ << "method      size    stored  checksum  time                 name\n";
    uint64_t size = 0, stored = 0;
    for (const TArchiveEntry* e = archive.First(); e; e = archive.Next()) {
      char stamp[32] = "-";
      const std::time_t t = e->time;
      if (const std::tm* tm = std::gmtime(&t)) std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", tm);
      char line[128];
      std::snprintf(line, sizeof line, "%-6s %9lu %9lu  %08lX  %-19s  ", MethodName(e->flags),
                    static_cast<unsigned long>(e->size), static_cast<unsigned long>(e->storedSize),
                    static_cast<unsigned long>(e->checksum), stamp);
      out_ << line << e->name << (e->flags & support::kEntryUserBit ? "  [u]" : "") << "\n";
      size += e->size;
      stored += e->storedSize;
    }
    out_ << archive.Count() << " entries, " << size << " bytes, " << stored << " stored; data at "
         << archive.DataStart() << ".." << archive.DataEnd() << ", version " << archive.Version() << "\n";
    return 0;
  }

  int Add(const std::vector<std::string>& args) {
    if (args.empty()) return Usage("add needs an archive");
    uint32_t options = support::kAddCompress | support::kAddBlockSorted;
    std::vector<std::pair<std::string, std::string>> files;  // path, name
    for (size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "-m" && i + 1 < args.size()) {
        const std::string& method = args[++i];
        const uint32_t user = options & support::kAddUserBit;
        if (method == "plain") {
          options = user;
        } else if (method == "window") {
          options = user | support::kAddCompress;
        } else if (method == "block") {
          options = user | support::kAddCompress | support::kAddBlockSorted;
        } else {
          return Usage("unknown method \"" + method + "\"");
        }
      } else if (args[i] == "-u") {
        options |= support::kAddUserBit;
      } else {
        const size_t eq = args[i].find('=');
        files.emplace_back(args[i].substr(0, eq), eq == std::string::npos ? args[i] : args[i].substr(eq + 1));
      }
    }
    if (files.empty()) return Usage("add needs files");
    for (const auto& [path, name] : files) {
      if (name.empty() || name.size() > 32767) return Fail("\"" + name + "\": not a usable entry name");
      if (!FileExists(path)) return Fail(path + ": cannot open");
    }
    return EditCopy(args[0], [&](TResourceArchive& archive) {
      for (const auto& [path, name] : files) {
        File source = OpenFile(path, "rb");
        if (!source || !archive.AddFile(source.get(), name.c_str(), options))
          return Fail(path + ": cannot add");
        const TArchiveEntry* e = archive.FindEntry(name.c_str());
        out_ << "added " << name << " (" << MethodName(e->flags) << ", " << e->size << " -> " << e->storedSize
             << ")\n";
      }
      return 0;
    });
  }

  int Extract(const std::vector<std::string>& args) {
    if (args.empty()) return Usage("extract needs an archive");
    std::string folder = ".";
    std::vector<std::string> names;
    for (size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "-o" && i + 1 < args.size()) {
        folder = args[++i];
      } else {
        names.push_back(args[i]);
      }
    }
    TResourceArchive archive;
    if (!OpenForReading(archive, args[0])) return 1;
    if (names.empty()) {
      for (const TArchiveEntry* e = archive.First(); e; e = archive.Next()) names.push_back(e->name);
    }
    int status = 0;
    for (const std::string& name : names) {
      if (!archive.FindEntry(name.c_str())) {
        status = Fail(name + ": no such entry");
        continue;
      }
      if (!SafeRelativeName(name)) {
        status = Fail(name + ": not extracted (the name leaves the output folder)");
        continue;
      }
      size_t size = 0;
      std::unique_ptr<char, decltype(&std::free)> data(archive.ReadFile(name.c_str(), true, &size),
                                                       &std::free);
      if (!data) {
        status = Fail(args[0] + ": entry " + name + " is damaged (cannot unpack)");
        continue;
      }
      if (archive.Failed()) {
        status = Fail(args[0] + ": entry " + name + ": checksum mismatch (extracted all the same)");
      }
      std::string relative = name;
      for (char& c : relative) {
        if (c == '\\') c = '/';
      }
      const fs::path target = fs::path(folder) / fs::path(relative);
      std::error_code ec;
      if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
      File out = OpenFile(target.string(), "wb");
      if (!out || std::fwrite(data.get(), 1, size, out.get()) != size || std::fflush(out.get()) != 0) {
        status = Fail(target.string() + ": cannot write");
        continue;
      }
      out_ << "extracted " << name << " (" << size << " bytes)\n";
    }
    return status;
  }

  int Remove(const std::vector<std::string>& args) {
    if (args.size() < 2) return Usage("remove needs an archive and names");
    {
      TResourceArchive archive;
      if (!OpenForReading(archive, args[0])) return 1;
      for (size_t i = 1; i < args.size(); ++i) {
        if (!archive.FindEntry(args[i].c_str())) return Fail(args[i] + ": no such entry");
      }
    }
    return EditCopy(args[0], [&](TResourceArchive& archive) {
      for (size_t i = 1; i < args.size(); ++i) {
        archive.Remove(args[i].c_str());
        out_ << "removed " << args[i] << "\n";
      }
      return 0;
    });
  }

  int Compact(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("compact takes one archive");
    {
      TResourceArchive archive;
      if (!OpenForReading(archive, args[0])) return 1;
    }
    return EditCopy(args[0], [&](TResourceArchive& archive) {
      const uint32_t before = archive.DataEnd() - archive.DataStart();
      if (!archive.Compact()) return Fail(args[0] + ": cannot compact");
      out_ << "compacted " << before << " -> " << archive.DataEnd() - archive.DataStart() << " data bytes\n";
      return 0;
    });
  }

  int Verify(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("verify takes one archive");
    TResourceArchive archive;
    if (!OpenForReading(archive, args[0])) return 1;
    int bad = 0;
    for (const TArchiveEntry* e = archive.First(); e; e = archive.Next()) {
      const std::string name = e->name;
      std::unique_ptr<char, decltype(&std::free)> data(archive.ReadFile(name.c_str(), true, nullptr),
                                                       &std::free);
      const char* verdict = !data ? "cannot unpack" : archive.Failed() ? "checksum mismatch" : "ok";
      if (!data || archive.Failed()) ++bad;
      out_ << verdict << "  " << name << "\n";
    }
    out_ << archive.Count() - bad << " of " << archive.Count() << " entries ok\n";
    if (bad)
      return Fail(args[0] + ": " + std::to_string(bad) + " of " + std::to_string(archive.Count()) +
                  " entries damaged");
    return 0;
  }

  int Append(const std::vector<std::string>& args) {
    if (args.size() != 2) return Usage("append takes a file and an archive");
    const std::string& host = args[0];
    const std::string& source = args[1];
    uint32_t dataStart = 0;
    {
      TResourceArchive archive;
      if (!OpenForReading(archive, source)) return 1;
      dataStart = archive.DataStart();
    }
    if (!FileExists(host)) return Fail(host + ": cannot open");
    const std::string copy = host + ".glyphpack~";
    g_pendingCopy = copy;
    // The archive's own bytes (from its data on) follow the host's last
    // byte; every position in it is relative, so it reads the same there.
    const std::string tail = copy + "2";
    bool ok = CopyFile(host, copy) && CopyFile(source, tail, dataStart);
    if (ok) {
      File out = OpenFile(copy, "ab");
      File in = OpenFile(tail, "rb");
      std::vector<char> buffer(1 << 16);
      ok = out && in;
      for (size_t got; ok && (got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0;) {
        ok = std::fwrite(buffer.data(), 1, got, out.get()) == got;
      }
      ok = ok && std::fflush(out.get()) == 0;
    }
    std::remove(tail.c_str());
    if (ok) {
      KeepPermissions(host, copy);
      TResourceArchive check;
      ok = check.Open(copy.c_str(), false);
    }
    if (!ok) {
      RemovePendingCopy();
      return Fail(host + ": cannot append the archive");
    }
    if (const int status = PutCopyInPlace(copy, host); status != 0) return status;
    out_ << "appended " << source << " to " << host << "\n";
    return 0;
  }

  int CompressRaw(const std::vector<std::string>& args) {
    if (args.size() != 2) return Usage("compress takes an input and an output file");
    File in = OpenFile(args[0], "rb");
    if (!in) return Fail(args[0] + ": cannot open");
    File out = OpenFile(args[1], "wb");
    if (!out) return Fail(args[1] + ": cannot create");
    support::compressStream(in.get(), out.get(), nullptr);
    if (std::fflush(out.get()) != 0) return Fail(args[1] + ": cannot write");
    return 0;
  }

  int DecompressRaw(const std::vector<std::string>& args) {
    uint64_t limit = kDefaultRawLimit;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "-s" && i + 1 < args.size()) {
        char* end = nullptr;
        limit = std::strtoull(args[++i].c_str(), &end, 10);
        if (!end || *end || limit > kDefaultRawLimit) return Usage("bad size \"" + args[i] + "\"");
      } else {
        files.push_back(args[i]);
      }
    }
    if (files.size() != 2) return Usage("decompress takes an input and an output file");
    File in = OpenFile(files[0], "rb");
    if (!in) return Fail(files[0] + ": cannot open");
    std::unique_ptr<char, decltype(&std::free)> data(static_cast<char*>(std::malloc(limit + 1)), &std::free);
    if (!data) return Fail("out of memory");
    size_t decoded = 0;
    if (!support::uncompressStream(in.get(), data.get(), static_cast<size_t>(limit), nullptr, &decoded)) {
      return Fail(files[0] + ": not a compressed stream");
    }
    File out = OpenFile(files[1], "wb");
    if (!out) return Fail(files[1] + ": cannot create");
    if (std::fwrite(data.get(), 1, decoded, out.get()) != decoded || std::fflush(out.get()) != 0) {
      return Fail(files[1] + ": cannot write");
    }
    return 0;
  }

  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace

int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  static const bool registered = [] { return std::atexit(RemovePendingCopy) == 0; }();
  (void)registered;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return Tool(out, err).Run(args);
}

}  // namespace glyphpack
