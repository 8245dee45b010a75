#pragma once

#include <windows.h>

#include "app/language.h"

namespace vandrel {

// The main window's menu bar: File, Settings (the Port and Language submenus) and "&?".
// A language switch gives it the catalogue's texts and moves the language radio mark.
class MenuBar final : public LanguageMenus {
 public:
  // Takes the menu of `window` (menu 266 of the window's template).
  void Attach(HWND window);

  bool RenameMenus() override;
  void CheckLanguageItem(int language) override;

  HMENU menu() const { return menu_; }
  // The Port submenu ("Auto" at position 0), or nullptr.
  HMENU PortMenu() const;
  // The Language submenu (English at position 0, French at 1), or nullptr.
  HMENU LanguageMenu() const;

 private:
  HWND window_ = nullptr;
  HMENU menu_ = nullptr;
};

}  // namespace vandrel
