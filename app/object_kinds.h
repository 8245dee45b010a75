#pragma once

#include <array>
#include <string>
#include <string_view>

#include "runtime/app_state.h"

namespace vandrel {

inline constexpr int kObjectKindCount = 4;

bool IsObjectKind(int kind);

// The rows of the object-type choice, one per kind (1 graphic .. 4 vCard). Each row's name and
// file-dialog filter follow the interface language; its kind and format line never change.
class ObjectKindList {
 public:
  // The four rows, named in the current language.
  ObjectKindList();

  // The row of `kind`; a kind outside 1..4 gives the graphic row.
  ObjectKindRow& Row(int kind);
  const ObjectKindRow& Row(int kind) const;

  // Gives every row the name of its kind in the current language and rebuilds its filter.
  void Rename();

 private:
  std::array<ObjectKindRow, kObjectKindCount> rows_;
};

// The row as the Open dialog shows it: with `fitting` on, the graphic row lists the pictures that
// go only fitted (*.webp) too, in its description and its patterns.
ObjectKindRow RowToOpen(const ObjectKindRow& row, bool fitting);

// The pattern list of a row's filter, the part between its first bar and the closing one:
// "*.vcf" for vCards.
std::string_view FilterPatterns(const ObjectKindRow& row);

// Whether a chosen file with `extension` (without its dot, in any case) belongs to the row:
// "*." followed by the lower-cased extension occurs in the row's filter. A file without an
// extension is accepted, since every filter holds "*.".
bool FilterAcceptsExtension(const ObjectKindRow& row, std::string_view extension);

}  // namespace vandrel
