// Stand-in for SkinSources.cpp while the support library is not built in:
// reads every name from the disk and parses "[section]" and "key=value"
// lines.
#include <sstream>
#include <vector>

#include "skin/SkinSources.h"

namespace glyph::skin {
namespace {

class SimpleIni : public SkinIni {
 public:
  explicit SimpleIni(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
      auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
      while (!line.empty() && blank(line.back())) line.pop_back();
      std::size_t b = 0;
      while (b < line.size() && blank(line[b])) ++b;
      line = line.substr(b);
      const std::size_t eq = line.find('=');
      if (eq != std::string::npos) {
        std::size_t k = eq, v = eq + 1;
        while (k > 0 && blank(line[k - 1])) --k;
        while (v < line.size() && blank(line[v])) ++v;
        line = line.substr(0, k) + "=" + line.substr(v);
      }
      lines_.push_back(line);
    }
  }
  std::string Get(const char* section, const char* key, const char* def) override {
    const std::string header = std::string("[") + section + "]";
    bool in = false;
    for (const std::string& l : lines_) {
      if (!l.empty() && l[0] == '[') {
        in = l == header;
        continue;
      }
      if (!in) continue;
      const std::size_t eq = l.find('=');
      if (eq != std::string::npos && l.compare(0, eq, key) == 0 && eq == std::string(key).size())
        return l.substr(eq + 1);
    }
    return def;
  }

 private:
  std::vector<std::string> lines_;
};

}  // namespace

std::unique_ptr<SkinArchive> OpenSkinArchive(const std::string&) {
  return std::make_unique<DiskSkinArchive>();
}

std::unique_ptr<SkinIni> ParseSkinIni(const std::string& text) { return std::make_unique<SimpleIni>(text); }

}  // namespace glyph::skin
