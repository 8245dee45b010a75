#include "app/language.h"

#include "objects/event_table.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

void SetLanguage(int language, LanguageMenus* menus) {
  SelectTextLanguage(language);
  const bool submenuFound = menus != nullptr && menus->RenameMenus();
  DestroyEventTable();
  BuildEventTable(GetTextBlock(language));
  if (submenuFound) menus->CheckLanguageItem(language);
}

}  // namespace vandrel
