#include "app/win32/gdi_objects.h"

namespace vandrel {

Bitmap LoadResourceBitmap(int id) {
  return Bitmap(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
}

}  // namespace vandrel
