// The result of a mod on its sample, made with the engine's own texture operations.
#pragma once

#include <QImage>
#include <QString>

#include "gui/preview/sample_reader.h"

namespace ashtint {

enum class TPreviewOperation {
  Repaint,  // MEM, CTM: one colour, the transparency pattern kept
  Dim,      // CAMO: towards black by the visibility, then the reduction
  Uniform,  // DPT, CCT: the 16 x 16 one-colour texture the stage writes
};

struct RPreviewRecipe {
  TPreviewOperation Operation = TPreviewOperation::Uniform;
  QString Color;       // "RRGGBB" as the colour box holds it
  int Visibility = 100;
  int Ratio = 0;       // 0 keeps the size
  bool operator==(const RPreviewRecipe&) const = default;
};

// The image the engine would encode, before compression; with compressed, as the game shows it
// after the DXT encoding. The sample may be null for the one-colour textures. An empty image
// when the colour text cannot be read or the texture cannot be made.
TBitmap32 RenderPreview(const RSample* sample, const RPreviewRecipe& recipe, bool compressed);

// A 32-bit image as Qt draws it (premultiplied on demand by Qt itself).
QImage ToQImage(const TBitmap32& image);

}  // namespace ashtint
