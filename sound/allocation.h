#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace vandrel {

// Sizes `buffer` to `count` zeroed elements. Running out of memory is an ordinary failure here,
// reported as false, never as an exception to the caller.
template <typename T>
bool TryAllocate(std::vector<T>& buffer, std::size_t count) {
  try {
    buffer.assign(count, T{});
    return true;
  } catch (const std::bad_alloc&) {
    buffer.clear();
    return false;
  }
}

}  // namespace vandrel
