// SkinContext: what one skinned window's skin draws on while it loads and
// lives: the archive its pictures are read through, the prompt its
// message boxes go through and the colour offsets its pictures are
// recoloured by. CSkinDialog owns one and hands it to each of its
// controls, so two skinned windows never share or overwrite each other's.
//
// The archive is set only for the span of a load (ScopedSkinArchive);
// without one, items are read as files relative to the current directory.
// For that span the context also keeps each picture decoded by name, so a
// picture named twice in one skin (main and disabled, two sliders' thumbs)
// is read and decoded once.
// Without a prompt, messages show as MessageBoxA. The context holds
// neither: their owners must outlive the time they are set.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>

#include "framework/Handles.h"

namespace glyph::skin {

// Where skin items come from during a load: the archive appended to the
// program file, with ordinary files as the fallback.
class SkinArchive {
 public:
  virtual ~SkinArchive() = default;
  // The item's bytes, or nothing when neither the archive nor the disk has it.
  virtual std::optional<std::string> ReadFile(const std::string& name) = 0;
};

// Reads names as files relative to the current directory.
class DiskSkinArchive : public SkinArchive {
 public:
  std::optional<std::string> ReadFile(const std::string& name) override;
};

// The skin's message boxes ("err", "Hata").
class SkinPrompt {
 public:
  virtual ~SkinPrompt() = default;
  // caption may be null (the platform's default caption).
  virtual void Show(HWND owner, const char* text, const char* caption) = 0;
};

// Colour offsets of a skin's pictures (AdjustBitmapHls); the skin loader
// sets them at each load. All zero: no adjustment.
struct HlsOffsets {
  double hue = 0, lightness = 0, saturation = 0;
  bool IsZero() const { return hue == 0 && lightness == 0 && saturation == 0; }
};

class SkinContext {
 public:
  SkinContext() = default;
  SkinContext(const SkinContext&) = delete;
  SkinContext& operator=(const SkinContext&) = delete;

  SkinArchive* Archive() const { return archive_; }
  // Reads through the archive, or from disk when there is none.
  std::optional<std::string> ReadItem(const std::string& name) const;

  // Replaces the prompt; null restores MessageBoxA. Returns the previous one.
  SkinPrompt* SetPrompt(SkinPrompt* prompt);
  void ShowMessage(HWND owner, const char* text, const char* caption) const;

  // A copy of the picture decoded under this name during the current load,
  // or null. KeepPicture stores a copy of `picture`, only without a load and
  // for the names the load said it reads again (a copy of a screen-sized
  // picture is not free).
  UniqueBitmap CopyOfPicture(const std::string& name) const;
  void KeepPicture(const std::string& name, HBITMAP picture) const;
  void SetRepeatedPictures(std::set<std::string> names) { repeated_ = std::move(names); }

  void SetOffsets(const HlsOffsets& offsets) { offsets_ = offsets; }
  const HlsOffsets& Offsets() const { return offsets_; }

  // The display scale the skin is laid out at, in percent of the
  // description's own pixels; pictures load at it (see LoadSkinPicture).
  void SetScale(int percent) { scale_ = percent > 0 ? percent : 100; }
  int Scale() const { return scale_; }
  // A length of the description at that scale.
  int Scaled(int v) const;

 private:
  friend class ScopedSkinArchive;

  SkinArchive* archive_ = nullptr;
  SkinPrompt* prompt_ = nullptr;
  HlsOffsets offsets_;
  int scale_ = 100;
  mutable std::map<std::string, UniqueBitmap, std::less<>> pictures_;
  std::set<std::string> repeated_;
};

// Makes an archive the one a context reads through, for one scope.
class ScopedSkinArchive {
 public:
  ScopedSkinArchive(SkinContext& context, SkinArchive* archive);
  ~ScopedSkinArchive();
  ScopedSkinArchive(const ScopedSkinArchive&) = delete;
  ScopedSkinArchive& operator=(const ScopedSkinArchive&) = delete;

 private:
  SkinContext& context_;
  SkinArchive* previous_;
};

}  // namespace glyph::skin
