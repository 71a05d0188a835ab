#include "skin/HlsColor.h"

#include <algorithm>

namespace glyph::skin {
namespace {

int Channel(double m1, double m2, double t) {
  if (t > 360) {
    t -= 360;
  } else if (t < 0) {
    t += 360;
  }
  double value;
  if (t < 60) {
    value = m1 + (m2 - m1) * t / 60;
  } else if (t < 180) {
    value = m2;
  } else if (t < 240) {
    value = m1 + (m2 - m1) * (240 - t) / 60;
  } else {
    value = m1;
  }
  return static_cast<int>(value * 255);
}

}  // namespace

std::uint32_t CHlsColor::GetRgb() {
  if (!rgbCurrent_) ToRgb();
  return rgb_;
}

double CHlsColor::GetHue() {
  if (!hlsCurrent_) ToHls();
  return hue_;
}

double CHlsColor::GetLightness() {
  if (!hlsCurrent_) ToHls();
  return lightness_;
}

double CHlsColor::GetSaturation() {
  if (!hlsCurrent_) ToHls();
  return saturation_;
}

void CHlsColor::SetHls(double hue, double lightness, double saturation) {
  if (hue < 0) hue += 360;
  if (hue > 360) hue -= 360;
  hue_ = hue;
  lightness_ = std::clamp(lightness, 0.0, 1.0);
  saturation_ = std::clamp(saturation, 0.0, 1.0);
  hlsCurrent_ = true;
  rgbCurrent_ = false;
}

void CHlsColor::ToHls() {
  const int r = static_cast<int>(rgb_ & 0xFF);
  const int g = static_cast<int>((rgb_ >> 8) & 0xFF);
  const int b = static_cast<int>((rgb_ >> 16) & 0xFF);
  const int mx = std::max({r, g, b});
  const int mn = std::min({r, g, b});
  lightness_ = (mx + mn) / 510.0;
  if (mx == mn) {
    hue_ = 0;
    saturation_ = 0;
  } else {
    const double d = mx - mn;
    saturation_ = lightness_ <= 0.5 ? d / (mx + mn) : d / (510 - mx - mn);
    // Later tests override earlier ones: with two maxima blue beats green
    // and green beats red.
    if (mx == r) hue_ = (6 + (g - b) / d) * 60;
    if (mx == g) hue_ = (2 + (b - r) / d) * 60;
    if (mx == b) hue_ = (4 + (r - g) / d) * 60;
    if (hue_ > 360) hue_ -= 360;
  }
  hlsCurrent_ = true;
}

void CHlsColor::ToRgb() {
  int r, g, b;
  if (saturation_ == 0) {
    r = g = b = static_cast<int>(lightness_ * 255);
  } else {
    // l + s - l*s, written so that full lightness gives exactly 1 (white).
    const double m2 =
        lightness_ <= 0.5 ? lightness_ * (1 + saturation_) : lightness_ + saturation_ * (1 - lightness_);
    const double m1 = 2 * lightness_ - m2;
    r = Channel(m1, m2, hue_ + 120);
    g = Channel(m1, m2, hue_);
    b = Channel(m1, m2, hue_ - 120);
  }
  auto byte = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
  rgb_ = byte(r) | (byte(g) << 8) | (byte(b) << 16);
  rgbCurrent_ = true;
}

std::uint32_t AdjustColorHls(std::uint32_t rgb, double hue, double lightness, double saturation) {
  CHlsColor c(rgb);
  c.SetHls(c.GetHue() + hue, c.GetLightness() + lightness, c.GetSaturation() + saturation);
  return c.GetRgb();
}

}  // namespace glyph::skin
