#include "sound/resampler.h"

#include <samplerate.h>

#include <cmath>

namespace vandrel {

namespace {

// The fastest of the library's band-limited converters: its stop band is well below what a
// 16-bit sound and the handset's 4-bit ADPCM can carry, at a fraction of the better ones' work.
constexpr int kConverter = SRC_SINC_FASTEST;
constexpr int kMono = 1;
// Room for what the filter holds back besides the input's share of output.
constexpr std::size_t kOutputSlack = 256;

}  // namespace

Resampler::Resampler(double ratio) : ratio_(ratio) {
  int error = 0;
  state_ = src_new(kConverter, kMono, &error);
}

Resampler::~Resampler() {
  if (state_ != nullptr) src_delete(state_);
}

bool Resampler::Process(std::span<const float> input, bool last, std::vector<float>& output) {
  if (state_ == nullptr || src_is_valid_ratio(ratio_) == 0) return false;
  SRC_DATA data{};
  data.src_ratio = ratio_;
  data.end_of_input = last ? 1 : 0;
  std::size_t used = 0;
  for (;;) {
    const std::size_t remaining = input.size() - used;
    const std::size_t start = output.size();
    const auto room = static_cast<std::size_t>(std::ceil(remaining * ratio_)) + kOutputSlack;
    output.resize(start + room);
    data.data_in = input.data() + used;
    data.input_frames = static_cast<long>(remaining);
    data.data_out = output.data() + start;
    data.output_frames = static_cast<long>(room);
    const int error = src_process(state_, &data);
    output.resize(start + (error == 0 ? static_cast<std::size_t>(data.output_frames_gen) : 0));
    if (error != 0) return false;
    used += static_cast<std::size_t>(data.input_frames_used);
    const bool drained = used == input.size();
    if (drained && (!last || data.output_frames_gen == 0)) return true;
    // A call that neither takes input nor gives output would come back to the same place.
    if (data.input_frames_used == 0 && data.output_frames_gen == 0) return drained;
  }
}

}  // namespace vandrel
