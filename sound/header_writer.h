#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "sound/byte_order.h"

namespace vandrel {

// Writes the fields of a WAV header one after another, little-endian.
class HeaderWriter {
 public:
  explicit HeaderWriter(std::span<std::uint8_t> header) : header_(header) {}
  void Id(std::string_view id) {
    std::copy(id.begin(), id.end(), header_.begin() + static_cast<std::ptrdiff_t>(at_));
    at_ += id.size();
  }
  void U16(std::uint16_t value) {
    StoreU16(header_, at_, value);
    at_ += 2;
  }
  void U32(std::uint32_t value) {
    StoreU32(header_, at_, value);
    at_ += 4;
  }
  std::size_t Length() const { return at_; }

 private:
  std::span<std::uint8_t> header_;
  std::size_t at_ = 0;
};

}  // namespace vandrel
