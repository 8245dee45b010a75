#include <sys/mman.h>

#include <cstdlib>

#include "cli/file_buffer.h"

namespace vandrel {

namespace {
constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;
}  // namespace

bool FileBuffer::Allocate(std::size_t size) {
  Release();
  void* memory = nullptr;
  if (size >= kHugePageBytes) {
    const std::size_t rounded = (size + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
    if (posix_memalign(&memory, kHugePageBytes, rounded) != 0) return false;
#ifdef MADV_HUGEPAGE
    // Only a hint: where huge pages are off the buffer simply has ordinary ones.
    madvise(memory, rounded, MADV_HUGEPAGE);
#endif
  } else {
    memory = std::malloc(size > 0 ? size : 1);
    if (memory == nullptr) return false;
  }
  bytes_ = static_cast<std::uint8_t*>(memory);
  size_ = size;
  return true;
}

void FileBuffer::Release() {
  std::free(bytes_);
  bytes_ = nullptr;
  size_ = 0;
}

}  // namespace vandrel
