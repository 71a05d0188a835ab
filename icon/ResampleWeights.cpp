#include "icon/ResampleWeights.h"

#include <algorithm>
#include <cmath>

namespace glyph::icon {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Half-widths of the kernels at scale 1, in input samples.
constexpr double kLanczosSupport = 3.0;
constexpr double kCatmullRomSupport = 2.0;

double Sinc(double x) {
  if (x == 0.0) return 1.0;
  const double px = kPi * x;
  return std::sin(px) / px;
}

double Lanczos3(double x) {
  x = std::fabs(x);
  if (x >= kLanczosSupport) return 0.0;
  return Sinc(x) * Sinc(x / kLanczosSupport);
}

// The cubic convolution kernel with a = -0.5.
double CatmullRom(double x) {
  x = std::fabs(x);
  if (x < 1.0) return (1.5 * x - 2.5) * x * x + 1.0;
  if (x < 2.0) return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
  return 0.0;
}

// Weights are summed in double and stored normalised, so the sum of the
// stored floats is one to within a float's rounding.
Contribution Normalised(int first, std::vector<double> raw) {
  double sum = 0.0;
  for (double w : raw) sum += w;
  Contribution c;
  c.first = first;
  c.weights.reserve(raw.size());
  for (double w : raw) c.weights.push_back(static_cast<float>(w / sum));
  return c;
}

}  // namespace

WeightTable BoxWeights(int inSize, int outSize) {
  const double step = static_cast<double>(inSize) / outSize;
  WeightTable table;
  table.reserve(outSize);
  for (int i = 0; i < outSize; ++i) {
    const double lo = i * step;
    const double hi = std::min(static_cast<double>(inSize), (i + 1) * step);
    const int first = static_cast<int>(lo);
    const int last = std::min(inSize - 1, static_cast<int>(std::ceil(hi)) - 1);
    std::vector<double> raw;
    for (int j = first; j <= last; ++j) {
      raw.push_back(std::min<double>(hi, j + 1) - std::max<double>(lo, j));
    }
    table.push_back(Normalised(first, std::move(raw)));
  }
  return table;
}

WeightTable KernelWeights(int inSize, int outSize, ResampleKernel kernel) {
  const double scale = static_cast<double>(inSize) / outSize;
  // Shrinking stretches the kernel over the input so it removes what the
  // output cannot hold; enlarging interpolates with the kernel as it is.
  const double stretch = std::max(1.0, scale);
  const double support =
      (kernel == ResampleKernel::kLanczos3 ? kLanczosSupport : kCatmullRomSupport) * stretch;
  WeightTable table;
  table.reserve(outSize);
  for (int i = 0; i < outSize; ++i) {
    // Pixel centres line up: output centre i + 0.5 sits at input (i + 0.5) * scale.
    const double centre = (i + 0.5) * scale;
    const int first = std::max(0, static_cast<int>(std::floor(centre - support + 0.5)));
    const int end = std::min(inSize, static_cast<int>(std::floor(centre + support + 0.5)));
    std::vector<double> raw;
    for (int j = first; j < end; ++j) {
      const double x = (j + 0.5 - centre) / stretch;
      raw.push_back(kernel == ResampleKernel::kLanczos3 ? Lanczos3(x) : CatmullRom(x));
    }
    table.push_back(Normalised(first, std::move(raw)));
  }
  return table;
}

}  // namespace glyph::icon
