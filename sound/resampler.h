#pragma once

#include <span>
#include <vector>

struct SRC_STATE_tag;

namespace vandrel {

// One mono stream through libsamplerate at a fixed ratio (output rate / input rate).
class Resampler {
 public:
  explicit Resampler(double ratio);
  ~Resampler();
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;

  // Appends the output for `input` to `output`. With `last`, the filter's tail is flushed too and
  // the stream ends. False when the library refuses, or when memory runs short.
  bool Process(std::span<const float> input, bool last, std::vector<float>& output);

 private:
  SRC_STATE_tag* state_ = nullptr;
  double ratio_;
};

}  // namespace vandrel
