#include "app/language.h"

#include "objects/event_table.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"

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
