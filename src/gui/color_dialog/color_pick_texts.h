// The colour dialog's own texts in Russian and English.
#pragma once

#include <QString>

namespace ashtint {

// Rows 0 to 17 as the dialog's controls use them; row 18 replaces the pipette's hint where the
// window system gives no screen pixels; rows 19 to 22 name the picker pages and the web-safe switch.
inline constexpr int ColorPickTextRows = 23;
inline constexpr int PipetteRefusedRow = 18;
inline constexpr int PickerPagesRow = 19;
inline constexpr int WebSafeRow = 22;

// A row in a language (any value but English means Russian); empty outside the table.
QString ColorPickText(int row, int language);

}  // namespace ashtint
