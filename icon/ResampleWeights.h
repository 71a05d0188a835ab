// Weights of a one-dimensional resampling step: for every output sample,
// the first input sample it reads and the weights of the consecutive input
// samples from there on, summing to exactly one so that a flat signal stays
// flat. Three filters: a box that averages the input area each output
// sample covers (the fast pre-pass of a large shrink), and the Lanczos-3 and
// Catmull-Rom kernels, widened by the shrink factor so that they also
// low-pass when shrinking. Near the edges the kernel is cut at the image and
// the remaining weights are scaled back up to one.
#pragma once

#include <vector>

namespace glyph::icon {

enum class ResampleKernel { kLanczos3, kCatmullRom };

struct Contribution {
  int first = 0;               // first input sample read
  std::vector<float> weights;  // for first, first + 1, ...
};

using WeightTable = std::vector<Contribution>;

// inSize and outSize are at least 1.
WeightTable BoxWeights(int inSize, int outSize);
WeightTable KernelWeights(int inSize, int outSize, ResampleKernel kernel);

}  // namespace glyph::icon
