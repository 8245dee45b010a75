#include "app/language.h"

#include "app/app_state.h"
#include "app/message_catalogue.h"
#include "objects/event_table.h"

namespace vandrel {

void SetLanguage(int language, LanguageMenus* menus) {
  AppState& state = TheAppState();
  LanguageMenus* shown = state.batchMode ? nullptr : menus;
  state.language = language;
  const bool submenuFound = shown != nullptr && shown->RenameMenus();
  DestroyEventTable();
  BuildEventTable(GetTextBlock(language));
  if (submenuFound) shown->CheckLanguageItem(language);
}

}  // namespace vandrel
