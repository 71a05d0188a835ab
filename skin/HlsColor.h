// CHlsColor: a colour that converts between RGB and hue, lightness and
// saturation, the model in which skins are recoloured.
//
// The RGB side is the platform colour layout 0x00BBGGRR (red in the low
// byte). Hue is in degrees 0..360, lightness and saturation 0..1. Each side
// is brought up to date only when it is asked for.
#pragma once

#include <cstdint>

namespace glyph::skin {

class CHlsColor {
 public:
  explicit CHlsColor(std::uint32_t rgb = 0) : rgb_(rgb & 0xFFFFFF) {}

  std::uint32_t GetRgb();
  double GetHue();
  double GetLightness();
  double GetSaturation();
  // Wraps the hue once into 0..360 and clamps lightness and saturation.
  void SetHls(double hue, double lightness, double saturation);

 private:
  void ToHls();
  void ToRgb();

  std::uint32_t rgb_;
  double hue_ = 0, lightness_ = 0, saturation_ = 0;
  bool rgbCurrent_ = true;
  bool hlsCurrent_ = false;
};

// Shifts hue, lightness and saturation of one colour by the offsets; the
// per-pixel step of AdjustBitmapHls.
std::uint32_t AdjustColorHls(std::uint32_t rgb, double hue, double lightness, double saturation);

}  // namespace glyph::skin
