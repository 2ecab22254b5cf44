// The colour dialog's small button pictures, drawn rather than shipped.
#pragma once

#include <QIcon>

namespace ashtint {

enum class TPickGlyph { HexaReset, Lighter, Darker, Invert, Grayscale, Pipette, UndoBegin, Undo, Redo, RedoEnd, Find, Copy };

QIcon PickGlyphIcon(TPickGlyph glyph);

// A small swatch of a colour with a thin frame, for the named colour list.
QIcon SwatchIcon(const QColor& color);

}  // namespace ashtint
