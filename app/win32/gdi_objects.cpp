#include "app/win32/gdi_objects.h"

namespace vandrel {

Bitmap LoadResourceBitmap(int id) {
  return Bitmap(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
}

SIZE BitmapSize(const Bitmap& bitmap) {
  BITMAP info{};
  if (GetObjectW(bitmap.get(), sizeof(info), &info) == 0) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

Bitmap ScaledBitmap(const Bitmap& source, SIZE size) {
  const SIZE from = BitmapSize(source);
  if (from.cx <= 0 || from.cy <= 0 || size.cx <= 0 || size.cy <= 0) return Bitmap();
  const HDC screen = GetDC(nullptr);
  Bitmap scaled(CreateCompatibleBitmap(screen, size.cx, size.cy));
  const HDC sourceDc = CreateCompatibleDC(screen);
  const HDC targetDc = CreateCompatibleDC(screen);
  const HGDIOBJ previousSource = SelectObject(sourceDc, source.get());
  const HGDIOBJ previousTarget = SelectObject(targetDc, scaled.get());
  // halftone averages the pixels that a reduction drops, instead of keeping every n-th one
  SetStretchBltMode(targetDc, HALFTONE);
  SetBrushOrgEx(targetDc, 0, 0, nullptr);
  StretchBlt(targetDc, 0, 0, size.cx, size.cy, sourceDc, 0, 0, from.cx, from.cy, SRCCOPY);
  SelectObject(targetDc, previousTarget);
  SelectObject(sourceDc, previousSource);
  DeleteDC(targetDc);
  DeleteDC(sourceDc);
  ReleaseDC(nullptr, screen);
  return scaled;
}

}  // namespace vandrel
