#include "app/win32/menu_bar.h"

#include <array>

#include "app/settings.h"
#include "app/win32/port_names.h"
#include "platform/format_text.h"
#include "platform/utf16.h"
#include "resources/resource_ids.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {

constexpr int kSettingsPosition = 1;
constexpr int kPortPosition = 0;
constexpr int kLanguagePosition = 1;
constexpr int kFitPosition = 2;
constexpr int kPictureSizePosition = 3;
constexpr int kHelpMenuPosition = 2;

// The command of the port item at each position, from 1.
constexpr std::array<UINT, kMaxListedPorts> kPortCommands{
    ID_MENU_PORT_1, ID_MENU_PORT_2, ID_MENU_PORT_3, ID_MENU_PORT_4,
    ID_MENU_PORT_5, ID_MENU_PORT_6, ID_MENU_PORT_7, ID_MENU_PORT_8};

// How an item of the bar is found: by position in the bar, by position in the Settings menu, or
// by command (in the whole bar, or in the "&?" menu only).
enum class Locate { kBarPosition, kSettingsPosition, kCommand, kHelpMenuCommand };

struct RenamedItem {
  Locate locate;
  UINT item;
  int text;
};

// The "&?" menu's own title, the "Auto" item and the screen sizes keep their resource texts.
constexpr std::array<RenamedItem, 18> kRenamedItems{{
    {Locate::kBarPosition, 0, TXT_MENU_FILE},
    {Locate::kCommand, ID_MENU_OPEN, TXT_MENU_OPEN},
    {Locate::kCommand, ID_MENU_SEND, TXT_MENU_SEND},
    {Locate::kCommand, IDC_QUIT_BUTTON, TXT_MENU_QUIT},
    {Locate::kBarPosition, kSettingsPosition, TXT_MENU_SETTINGS},
    {Locate::kSettingsPosition, kPortPosition, TXT_MENU_PORT},
    {Locate::kSettingsPosition, kLanguagePosition, TXT_MENU_LANGUAGE},
    {Locate::kCommand, ID_MENU_ENGLISH, TXT_MENU_ENGLISH},
    {Locate::kCommand, ID_MENU_FRENCH, TXT_MENU_FRENCH},
    {Locate::kSettingsPosition, kFitPosition, TXT_MENU_FIT},
    {Locate::kCommand, ID_MENU_FIT_ALWAYS, TXT_MENU_FIT_ALWAYS},
    {Locate::kCommand, ID_MENU_FIT_ASK, TXT_MENU_FIT_ASK},
    {Locate::kCommand, ID_MENU_FIT_NEVER, TXT_MENU_FIT_NEVER},
    {Locate::kSettingsPosition, kPictureSizePosition, TXT_MENU_PICTURE_SIZE},
    {Locate::kCommand, ID_MENU_PICTURE_AS_IT_IS, TXT_MENU_PICTURE_AS_IT_IS},
    {Locate::kCommand, ID_MENU_PATIENT, TXT_MENU_PATIENT},
    {Locate::kHelpMenuCommand, ID_MENU_HELP, TXT_MENU_HELP},
    {Locate::kHelpMenuCommand, ID_MENU_ABOUT, TXT_MENU_ABOUT},
}};

void SetItemText(HMENU menu, UINT item, bool byPosition, const std::string& text) {
  if (menu == nullptr) return;
  std::wstring wide = Widen(text);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = wide.data();
  SetMenuItemInfoW(menu, item, byPosition ? TRUE : FALSE, &info);
}

// A choice's command is its stored value from the first command of its submenu.
static_assert(ID_MENU_FIT_ASK == ID_MENU_FIT_NEVER + kFitAsk);
static_assert(ID_MENU_FIT_ALWAYS == ID_MENU_FIT_NEVER + kFitAlways);
static_assert(ID_MENU_PICTURE_SIZE_1 == ID_MENU_PICTURE_AS_IT_IS + 1);

// The offset of `command` from `first`, when it is one of the `count` commands from there.
std::optional<std::int32_t> CommandOffset(int command, int first, std::size_t count) {
  const int offset = command - first;
  if (offset < 0 || static_cast<std::size_t>(offset) >= count) return std::nullopt;
  return offset;
}

HMENU SettingsSubmenu(HMENU bar, int position) {
  return GetSubMenu(GetSubMenu(bar, kSettingsPosition), position);
}

}  // namespace

void MenuBar::Attach(HWND window) {
  window_ = window;
  menu_ = GetMenu(window);
}

HMENU MenuBar::PortMenu() const {
  return SettingsSubmenu(menu_, kPortPosition);
}

HMENU MenuBar::LanguageMenu() const {
  return SettingsSubmenu(menu_, kLanguagePosition);
}

int PortPositionOfCommand(int command) {
  for (std::size_t i = 0; i < kPortCommands.size(); ++i)
    if (kPortCommands[i] == static_cast<UINT>(command)) return static_cast<int>(i) + 1;
  return 0;
}

std::optional<std::int32_t> FitSettingOfCommand(int command) {
  return CommandOffset(command, ID_MENU_FIT_NEVER, kFitAlways + 1);
}

std::optional<std::int32_t> PictureSizeOfCommand(int command) {
  return CommandOffset(command, ID_MENU_PICTURE_AS_IT_IS, kHandsetScreens.size() + 1);
}

void MenuBar::ListPorts(const PortList& ports, const std::map<std::int32_t, std::string>& names) {
  const HMENU portMenu = PortMenu();
  if (portMenu == nullptr) return;
  while (GetMenuItemCount(portMenu) > 1) DeleteMenu(portMenu, 1, MF_BYPOSITION);
  for (int position = 1; position <= ports.count; ++position) {
    const std::int32_t port = ports.ports[static_cast<std::size_t>(position)];
    const auto named = names.find(port);
    const std::wstring name =
        Widen(PortItemText(port, named == names.end() ? std::string() : named->second));
    InsertMenuW(portMenu, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING,
                kPortCommands[static_cast<std::size_t>(position) - 1], name.c_str());
  }
}

void MenuBar::CheckPortItem(int position, int portCount) {
  if (position < 1 || position > portCount) return;
  CheckMenuRadioItem(PortMenu(), 1, static_cast<UINT>(portCount), static_cast<UINT>(position),
                     MF_BYPOSITION);
}

void MenuBar::ListPictureSizes() {
  const HMENU sizes = SettingsSubmenu(menu_, kPictureSizePosition);
  if (sizes == nullptr) return;
  for (std::size_t i = 0; i < kHandsetScreens.size(); ++i) {
    const std::wstring name =
        Widen(FormatText("%d \xC3\x97 %d", kHandsetScreens[i].width, kHandsetScreens[i].height));
    AppendMenuW(sizes, MF_STRING, ID_MENU_PICTURE_SIZE_1 + i, name.c_str());
  }
}

// The submenu lists always, ask, never: the stored values from the last.
void MenuBar::CheckFitItem(std::int32_t fitToHandset) {
  CheckMenuRadioItem(SettingsSubmenu(menu_, kFitPosition), 0, kFitAlways,
                     static_cast<UINT>(kFitAlways - fitToHandset), MF_BYPOSITION);
}

void MenuBar::CheckPictureSizeItem(std::int32_t pictureSize) {
  CheckMenuRadioItem(SettingsSubmenu(menu_, kPictureSizePosition), 0,
                     static_cast<UINT>(kHandsetScreens.size()), static_cast<UINT>(pictureSize),
                     MF_BYPOSITION);
}

void MenuBar::CheckPatientItem(bool patient) {
  CheckMenuItem(menu_, ID_MENU_PATIENT, MF_BYCOMMAND | (patient ? MF_CHECKED : MF_UNCHECKED));
}

bool MenuBar::RenameMenus() {
  if (menu_ == nullptr) return false;
  const HMENU settings = GetSubMenu(menu_, kSettingsPosition);
  const HMENU helpMenu = GetSubMenu(menu_, kHelpMenuPosition);
  for (const RenamedItem& renamed : kRenamedItems) {
    const std::string text = GetText(renamed.text);
    switch (renamed.locate) {
      case Locate::kBarPosition:
        SetItemText(menu_, renamed.item, true, text);
        break;
      case Locate::kSettingsPosition:
        SetItemText(settings, renamed.item, true, text);
        break;
      case Locate::kCommand:
        SetItemText(menu_, renamed.item, false, text);
        break;
      case Locate::kHelpMenuCommand:
        SetItemText(helpMenu, renamed.item, false, text);
        break;
    }
  }
  DrawMenuBar(window_);
  return LanguageMenu() != nullptr;
}

void MenuBar::CheckLanguageItem(int language) {
  CheckMenuRadioItem(LanguageMenu(), kEnglish, kFrench, static_cast<UINT>(language), MF_BYPOSITION);
}

}  // namespace vandrel
