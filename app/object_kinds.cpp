#include "app/object_kinds.h"

#include <algorithm>

#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {

struct KindDefinition {
  ObjectKind kind;
  TextId name;
  std::string_view formats;
  // Follows the kind's name in the filter: the description, then the patterns between bars.
  std::string_view patternText;
};

// The graphic description has a comma before "*.ems_gr" where its pattern list has a semicolon;
// the filters are shown that way to the user and are kept as they are.
constexpr std::array<KindDefinition, kObjectKindCount> kKindDefinitions{{
    {kGraphic, TXT_KIND_GRAPHICS, "BMP,GIF,JPG,PNG,WBMP,EMS_GR",
     " (*.wbmp;*.bmp;*.png;*.jpg;*.jpeg;*.gif,*.ems_gr)|"
     "*.wbmp;*.bmp;*.png;*.jpg;*.jpeg;*.gif;*.ems_gr|"},
    {kSound, TXT_KIND_SOUNDS, "MID,WAV,AQV1,AQV2,IMY,AMR",
     " (*.wav;*.mid;*.imy;*.aqv1;*.aqv2;*.amr)|*.wav;*.mid;*.imy;*.aqv1;*.aqv2;*.amr|"},
    {kAnimation, TXT_KIND_ANIMATIONS, "GIF,EMS_AN,QV1,MNG",
     " (*.gif;*.ems_an;*.qv1;*.mng)|*.gif;*.ems_an;*.qv1;*.mng|"},
    {kVCard, TXT_KIND_VCARDS, "VCF", " (*.vcf)|*.vcf|"},
}};

std::size_t IndexOf(int kind) {
  return static_cast<std::size_t>(IsObjectKind(kind) ? kind : kGraphic) - 1;
}

}  // namespace

bool IsObjectKind(int kind) {
  return kind >= kGraphic && kind <= kVCard;
}

ObjectKindList::ObjectKindList() {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i].kind = kKindDefinitions[i].kind;
    rows_[i].formats = kKindDefinitions[i].formats;
    rows_[i].enabled = true;
  }
  Rename();
}

ObjectKindRow& ObjectKindList::Row(int kind) {
  return rows_[IndexOf(kind)];
}

const ObjectKindRow& ObjectKindList::Row(int kind) const {
  return rows_[IndexOf(kind)];
}

void ObjectKindList::Rename() {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i].name = GetText(kKindDefinitions[i].name);
    rows_[i].filter = rows_[i].name + std::string(kKindDefinitions[i].patternText);
  }
}

ObjectKindRow RowToOpen(const ObjectKindRow& row, bool fitting) {
  constexpr std::string_view kFittedOnlyPattern = ";*.webp";
  ObjectKindRow shown = row;
  const std::size_t described = shown.filter.find(")|");
  if (!fitting || row.kind != kGraphic || described == std::string::npos) return shown;
  shown.filter.insert(shown.filter.size() - 1, kFittedOnlyPattern);
  shown.filter.insert(described, kFittedOnlyPattern);
  return shown;
}

std::string_view FilterPatterns(const ObjectKindRow& row) {
  const std::string_view filter = row.filter;
  const std::size_t bar = filter.find('|');
  if (bar == std::string_view::npos || filter.size() < bar + 2) return {};
  return filter.substr(bar + 1, filter.size() - bar - 2);
}

bool FilterAcceptsExtension(const ObjectKindRow& row, std::string_view extension) {
  std::string pattern = "*.";
  std::transform(extension.begin(), extension.end(), std::back_inserter(pattern), [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return row.filter.find(pattern) != std::string::npos;
}

}  // namespace vandrel
