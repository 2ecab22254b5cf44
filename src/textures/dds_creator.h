// Texture jobs of the mods: uniform-colour textures, repainted textures and dimmed
// camouflages. Each returns its success and never throws; DDS files travel as whole files in
// memory and are replaced only on success.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/arrays.h"

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

}  // namespace ashtint
