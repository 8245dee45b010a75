#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vandrel {

// Room for a whole file's bytes, left uninitialised: it is filled at once, and of a buffer that
// is only partly written (a converted sound is about a quarter of the original) only the pages
// written are ever touched. Where the system offers huge pages a large buffer asks for them, so
// that a long sound costs a handful of page faults rather than thousands.
class FileBuffer {
 public:
  FileBuffer() = default;
  FileBuffer(const FileBuffer&) = delete;
  FileBuffer& operator=(const FileBuffer&) = delete;
  ~FileBuffer() { Release(); }

  // Replaces the buffer with one of `size` bytes; false when the memory is not there.
  bool Allocate(std::size_t size);
  std::span<std::uint8_t> Bytes() const { return {bytes_, size_}; }

 private:
  void Release();

  std::uint8_t* bytes_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace vandrel
