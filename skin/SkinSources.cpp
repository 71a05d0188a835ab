#include "skin/SkinSources.h"

#include <cstdlib>

#include "support/Archive.h"
#include "support/IniFile.h"

namespace glyph::skin {
namespace {

class ResourceSkinArchive : public SkinArchive {
 public:
  explicit ResourceSkinArchive(const std::string& hostPath) {
    // Without an archive every name is read from the disk instead.
    archive_->Open(hostPath.c_str(), false);
  }
  ~ResourceSkinArchive() override { archive_->Release(); }
  ResourceSkinArchive(const ResourceSkinArchive&) = delete;
  ResourceSkinArchive& operator=(const ResourceSkinArchive&) = delete;

  std::optional<std::string> ReadFile(const std::string& name) override {
    if (name.empty()) return std::nullopt;
    std::size_t size = 0;
    char* bytes = archive_->ReadFile(name.c_str(), false, &size);
    if (!bytes) return std::nullopt;
    std::string out(bytes, size);
    std::free(bytes);
    return out;
  }

 private:
  support::TResourceArchive* archive_ = new support::TResourceArchive();
};

class SupportSkinIni : public SkinIni {
 public:
  explicit SupportSkinIni(const std::string& text) {
    // The reader takes NUL-terminated text; anything after a NUL byte is cut.
    ini_->ParseBuffer(text.c_str());
  }
  ~SupportSkinIni() override { ini_->Release(); }
  SupportSkinIni(const SupportSkinIni&) = delete;
  SupportSkinIni& operator=(const SupportSkinIni&) = delete;

  std::string Get(const char* section, const char* key, const char* def) override {
    const char* v = ini_->GetString(section, key, def);
    return v ? v : "";
  }

 private:
  support::TIniFile* ini_ = new support::TIniFile();
};

}  // namespace

std::unique_ptr<SkinArchive> OpenSkinArchive(const std::string& hostPath) {
  return std::make_unique<ResourceSkinArchive>(hostPath);
}

std::unique_ptr<SkinIni> ParseSkinIni(const std::string& text) {
  return std::make_unique<SupportSkinIni>(text);
}

}  // namespace glyph::skin
