#pragma once

#include <cstdint>
#include <vector>

namespace vandrel {

using Bytes = std::vector<std::uint8_t>;

// The stb writers' output callback, appending to the Bytes given as its context.
inline void AppendWritten(void* context, void* data, int size) {
  auto& bytes = *static_cast<Bytes*>(context);
  bytes.insert(bytes.end(), static_cast<std::uint8_t*>(data),
               static_cast<std::uint8_t*>(data) + size);
}

}  // namespace vandrel
