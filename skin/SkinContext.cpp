#include "skin/SkinContext.h"

#include <cstdio>

#include "skin/SkinBitmap.h"
#include "skin/SkinGeometry.h"

namespace glyph::skin {

std::optional<std::string> DiskSkinArchive::ReadFile(const std::string& name) {
  if (name.empty()) return std::nullopt;
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return std::nullopt;
  std::string bytes;
  char buf[16384];
  for (;;) {
    const std::size_t n = std::fread(buf, 1, sizeof buf, f);
    bytes.append(buf, n);
    if (n < sizeof buf) break;
  }
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return std::nullopt;
  return bytes;
}

std::optional<std::string> SkinContext::ReadItem(const std::string& name) const {
  if (archive_) return archive_->ReadFile(name);
  DiskSkinArchive disk;
  return disk.ReadFile(name);
}

namespace {

HBITMAP CopyBitmap(HBITMAP bitmap) { return DibSectionCopy(bitmap).Release(); }

}  // namespace

UniqueBitmap SkinContext::CopyOfPicture(const std::string& name) const {
  const auto it = pictures_.find(name);
  if (!archive_ || it == pictures_.end()) return {};
  return UniqueBitmap(CopyBitmap(it->second.Get()));
}

void SkinContext::KeepPicture(const std::string& name, HBITMAP picture) const {
  if (!archive_ || !picture || name.empty() || repeated_.count(name) == 0) return;
  UniqueBitmap copy(CopyBitmap(picture));
  if (copy) pictures_[name] = std::move(copy);
}

int SkinContext::Scaled(int v) const { return ScaleLength(v, scale_); }

SkinPrompt* SkinContext::SetPrompt(SkinPrompt* prompt) {
  SkinPrompt* old = prompt_;
  prompt_ = prompt;
  return old;
}

void SkinContext::ShowMessage(HWND owner, const char* text, const char* caption) const {
  if (prompt_) {
    prompt_->Show(owner, text, caption);
  } else {
    ::MessageBoxA(owner, text, caption, MB_OK);
  }
}

ScopedSkinArchive::ScopedSkinArchive(SkinContext& context, SkinArchive* archive)
    : context_(context), previous_(context.archive_) {
  context_.archive_ = archive;
  context_.pictures_.clear();
  context_.repeated_.clear();
}

ScopedSkinArchive::~ScopedSkinArchive() {
  context_.archive_ = previous_;
  context_.pictures_.clear();
  context_.repeated_.clear();
}

}  // namespace glyph::skin
