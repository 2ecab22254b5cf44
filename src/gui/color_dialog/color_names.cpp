#include "gui/color_dialog/color_names.h"

#include "colorpicker/color_models.h"

namespace ashtint {

int NearestNamedColor(std::span<const RNAMECOLOR> table, const QColor& color) {
  int best = -1;
  int bestDistance = 0;
  for (int i = 0; i < static_cast<int>(table.size()); ++i) {
    const QColor named = ColorOfValue(table[i].Color);
    const int dr = named.red() - color.red(), dg = named.green() - color.green(), db = named.blue() - color.blue();
    const int distance = dr * dr + dg * dg + db * db;  // the square orders as the distance does
    if (best < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
      if (distance == 0) break;
    }
  }
  return best;
}

}  // namespace ashtint
