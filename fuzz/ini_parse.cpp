// TIniFile::ParseBuffer and the lookups on what it stored, with a file
// provider that answers every include with the input itself.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/FileProvider.h"
#include "support/IniFile.h"

namespace {

class EchoProvider final : public support::TFileProvider {
 public:
  // Echoes the input a few times per run: enough for nesting and the
  // depth limit, without spending the fuzzer's time on a thousand copies.
  char* ReadFile(const char*, int, int, int) override {
    if (calls++ >= kEchoes) return nullptr;
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
  }
  static constexpr int kEchoes = 20;
  std::string text;
  int calls = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static EchoProvider* provider = [] {
    auto* p = new EchoProvider;
    support::theFileProvider = p;
    return p;
  }();
  // Text up to the first NUL, as a caller would hand it over.
  const std::string text(reinterpret_cast<const char*>(data), size);
  provider->text = text.c_str();
  provider->calls = 0;

  support::TIniFile ini;
  ini.ParseBuffer(text.c_str());
  std::string section;
  for (int32_t i = 0; i < ini.LineCount() && i < 32; ++i) {
    const std::string line = ini.GetLine(i);
    if (!line.empty() && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      ini.FindKey(section.c_str(), nullptr);
      continue;
    }
    const std::string key = line.substr(0, line.find('='));
    ini.GetString(section.c_str(), key.c_str(), "");
    ini.FindKey(section.c_str(), key.c_str());
    ini.GetLong(section.c_str(), key.c_str(), 0);
    ini.GetDouble(section.c_str(), key.c_str(), 0.0);
    ini.GetBool(section.c_str(), key.c_str(), false);
    ini.GetLongList(section.c_str(), key.c_str(), line.c_str());
    ini.GetDoubleList(section.c_str(), key.c_str(), line.c_str());
    ini.GetStringList(section.c_str(), key.c_str(), line.c_str());
  }
  return 0;
}
