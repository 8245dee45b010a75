#pragma once

namespace vandrel {

// The window's menu bar, which keeps copies of catalogue texts and so is refreshed by a switch.
class LanguageMenus {
 public:
  virtual ~LanguageMenus() = default;
  // Gives the menu bar the texts of the current language. Returns whether the language submenu
  // exists (its radio mark is placed only then).
  virtual bool RenameMenus() = 0;
  virtual void CheckLanguageItem(int language) = 0;
};

// Switches the interface language: the catalogue's, the menus (unless `menus` is null, as in a
// batch) and the event table, rebuilt from the new texts with its count at 0.
void SetLanguage(int language, LanguageMenus* menus);

}  // namespace vandrel
