#include "gui/preview/preview_render.h"

#include <algorithm>

#include "textures/dds_creator.h"

namespace ashtint {

namespace {

// The colour text the stages hand to the texture operations: "#" + the box's six digits, with
// the opaque alpha pair the map stages add.
std::string StageColor(const QString& boxText, bool withAlpha) {
  std::string text(1, '#');
  text.append(boxText.toStdString());
  if (withAlpha) text.append("FF");
  return text;
}

}  // namespace

TBitmap32 RenderPreview(const RSample* sample, const RPreviewRecipe& recipe, bool compressed) {
  if (recipe.Operation == TPreviewOperation::Uniform) {
    // Exactly the file the stage writes, so the colour is shown as its blocks store it.
    TBytesArray file;
    TBitmap32 image;
    TDDSInfo info;
    if (!CreateColorDDS(file, 16, 16, StageColor(recipe.Color, false)) || !DecodeDDSImage(file, image, info))
      return {};
    return image;
  }
  if (sample == nullptr || sample->State != TSampleState::Found) return {};
  const bool repaint = recipe.Operation == TPreviewOperation::Repaint;
  const std::string color = StageColor(recipe.Color, true);
  if (compressed) {
    // The stage's own operation on the texture file, and level 0 of what it writes. A large
    // texture's reduced sample stands in for it; the same ratio then gives the same share.
    TBytesArray file = sample->File;
    if (file.empty() && !EncodeDDSImage(sample->Image, sample->Format, file)) return {};
    if (repaint ? !RepaintDDS(file, color) : !MakeTranslucentDDS(file, recipe.Visibility, recipe.Ratio)) return {};
    TBitmap32 image;
    TDDSInfo info;
    if (!DecodeDDSImage(file, image, info)) return {};
    return image;
  }
  TBitmap32 image = sample->Image;
  if (repaint) {
    std::uint32_t parsed;
    if (!ParseColorText(color, parsed)) return {};
    RepaintBitmap(image, parsed, color.size() > 7);
  } else {
    DimBitmap(image, recipe.Visibility);
    int w, h;
    TranslucentSize(sample->Width, sample->Height, recipe.Ratio, w, h);
    // The sample may be smaller than the texture: shrink by the same share of its size.
    w = std::max(1, int(std::int64_t(w) * image.Width / sample->Width));
    h = std::max(1, int(std::int64_t(h) * image.Height / sample->Height));
    if ((w != image.Width || h != image.Height) && !ResampleBitmap(image, w, h)) return {};
  }
  return image;
}

QImage ToQImage(const TBitmap32& image) {
  if (image.Width <= 0 || image.Height <= 0) return {};
  // 0xAARRGGBB pixels are Qt's ARGB32 layout.
  QImage out(image.Width, image.Height, QImage::Format_ARGB32);
  for (int y = 0; y < image.Height; ++y)
    std::copy_n(&image.Pixels[std::size_t(y) * image.Width], image.Width,
                reinterpret_cast<std::uint32_t*>(out.scanLine(y)));
  return out;
}

}  // namespace ashtint
