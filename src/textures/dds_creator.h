// Texture jobs of the mods: uniform-colour textures, repainted textures and dimmed
// camouflages. Each returns its success and never throws; DDS files travel as whole files in
// memory and are replaced only on success.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/arrays.h"
#include "textures/bitmap32.h"
#include "textures/dds_file.h"

namespace ashtint {

// "RRGGBB" or "RRGGBBAA", optionally after one leading space, '#' or '$'; the empty text is
// opaque black. Gives the pixel 0xAARRGGBB; false for a pair that is not hexadecimal.
bool ParseColorText(std::string_view text, std::uint32_t& color);

// A DXT1 texture of the given size with its full mipmap chain, every pixel the colour.
bool CreateColorDDS(TBytesArray& stream, int width, int height, std::string_view colorText);
// The same texture saved to a file; nothing is written when it fails.
bool CreateColorDDSFile(const std::string& fileName, int width, int height,
                        std::string_view colorText);

// Repaints a DXT1/DXT5 texture in one colour, keeping its transparency pattern.
bool RepaintDDS(TBytesArray& stream, std::string_view colorText);

// Darkens a texture towards black (visibility 0..100) and optionally shrinks it by a ratio
// (0 keeps the size).
bool MakeTranslucentDDS(TBytesArray& stream, int visibility, int ratio);

// The steps of the operations above on an image already decoded, for a caller that shows their
// result before anything is written (the front end's previews).

// Level 0 of a DXT1/DXT5 file; false when the file is rejected.
bool DecodeDDSImage(const TBytesArray& file, TBitmap32& image, TDDSInfo& info);
// RepaintDDS's recolouring: with an alpha part, a transparent pixel keeps alpha 0 and takes the
// colour's channels, every other pixel becomes the colour; without one, each pixel keeps its alpha.
void RepaintBitmap(TBitmap32& image, std::uint32_t color, bool colorHasAlpha);
// MakeTranslucentDDS's darkening of every colour channel towards black; alpha is kept.
void DimBitmap(TBitmap32& image, int visibility);
// The size MakeTranslucentDDS shrinks a width x height texture to for a ratio.
void TranslucentSize(int width, int height, int ratio, int& newWidth, int& newHeight);
// A DDS file of the image alone (level 0, no chain) in the format.
bool EncodeDDSImage(const TBitmap32& image, int format, TBytesArray& file);

}  // namespace ashtint
