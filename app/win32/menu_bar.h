#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "app/language.h"
#include "app/port_list.h"

namespace vandrel {

// The main window's menu bar: File, Settings (the Port, Language, Fit to handset and Picture size
// submenus, and Patient waits) and "&?". A language switch gives it the catalogue's texts and moves
// the language radio mark. The position (1..8) of the port item that sends `command`; 0 for any
// other command.
int PortPositionOfCommand(int command);
// The "FitToHandset" and "PictureSize" settings that `command` chooses; nullopt for any other.
std::optional<std::int32_t> FitSettingOfCommand(int command);
std::optional<std::int32_t> PictureSizeOfCommand(int command);

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

  // Lists each port after "Auto", in place of those listed before, at the port's position and
  // with the position's command: under its friendly name in `names` when it has one, else "COM<n>".
  void ListPorts(const PortList& ports, const std::map<std::int32_t, std::string>& names);
  // Moves the radio mark to the port item at `position` (1..8); "Auto" is never marked.
  void CheckPortItem(int position, int portCount);

  // Adds the handset screens after "As it is" in the Picture size submenu.
  void ListPictureSizes();
  // Move the radio marks to the stored choices.
  void CheckFitItem(std::int32_t fitToHandset);
  void CheckPictureSizeItem(std::int32_t pictureSize);
  // Checks "Patient waits" when the sends wait the full fixed pauses.
  void CheckPatientItem(bool patient);

 private:
  HWND window_ = nullptr;
  HMENU menu_ = nullptr;
};

}  // namespace vandrel
