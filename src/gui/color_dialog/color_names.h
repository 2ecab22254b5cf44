// The colour dialog's named colours: one table in Russian and one in English, each sorted by
// name, each row pointing to the row of the same colour name in the other table.
#pragma once

#include <QColor>

#include <array>
#include <span>

#include "gui/interface_texts.h"

namespace ashtint {

struct RNAMECOLOR {
  const char* Name;  // UTF-8
  int Color;         // red + 256 x green + 65536 x blue
  int Cross;         // 1-based row of the same colour name in the other language's table
};

// Rows in each table; tools/gen_color_names.py writes the tables and checks this number.
inline constexpr int NamedColorCount = 446;

// The table of a language (any value but English means Russian).
std::span<const RNAMECOLOR> NamedColors(int language);

// The row nearest to a colour by the distance of red, green and blue: the first row at
// distance 0, else the first of the nearest rows; -1 for an empty table.
int NearestNamedColor(std::span<const RNAMECOLOR> table, const QColor& color);

}  // namespace ashtint
