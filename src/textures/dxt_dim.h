// Dimming a DXT1/DXT5 level without decoding it to pixels and encoding it again: each block
// keeps its indices and alpha, and gets new colour endpoints fitted to its own palette dimmed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ashtint {

// Every channel c of every pixel becomes visibility * c / 100 (truncated; 0 below 1), as
// closely as a block of the same indices can show it; alpha blocks are copied unchanged.
// source and destination hold blockCount blocks of 8 (DXT1) or 16 (DXT5) bytes; they may be the
// same buffer.
void DimDXTBlocks(const std::uint8_t* source, std::uint8_t* destination, std::size_t blockCount,
                  bool isDXT1, int visibility);

// Builds what DimDXTBlocks needs for a visibility ahead, so that a caller can have every
// allocation behind it before it changes its data; throws when memory runs out.
void PrepareDimDXT(int visibility);

}  // namespace ashtint
