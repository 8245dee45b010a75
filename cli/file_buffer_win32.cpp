#include <new>

#include "cli/file_buffer.h"

namespace vandrel {

// Large pages need a privilege that users do not hold, so Windows gets ordinary ones.
bool FileBuffer::Allocate(std::size_t size) {
  Release();
  bytes_ = new (std::nothrow) std::uint8_t[size > 0 ? size : 1];
  if (bytes_ == nullptr) return false;
  size_ = size;
  return true;
}

void FileBuffer::Release() {
  delete[] bytes_;
  bytes_ = nullptr;
  size_ = 0;
}

}  // namespace vandrel
