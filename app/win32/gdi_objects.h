#pragma once

#include <windows.h>

#include <utility>

namespace vandrel {

// Owns one GDI object (a bitmap, a font) and deletes it when replaced or destroyed.
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~GdiObject() { Reset(nullptr); }

  Handle get() const { return handle_; }
  void Reset(Handle handle) {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;

// A bitmap of this program's resources.
Bitmap LoadResourceBitmap(int id);
// The size of a bitmap in pixels.
SIZE BitmapSize(const Bitmap& bitmap);
// A copy of `source` drawn smoothly at `size`: the artwork fills its control or the window
// whatever size the window's font and DPI give them.
Bitmap ScaledBitmap(const Bitmap& source, SIZE size);

}  // namespace vandrel
