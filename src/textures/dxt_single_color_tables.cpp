// Exact endpoint pairs for blocks of one colour, built once.
#include <cstdlib>

#include "textures/dxt_internal.h"

namespace ashtint {

namespace {

struct TTables {
  TSingleColorEntry Entries[4][256];

  TTables() {
    for (int v = 0; v < 256; ++v) {
      Entries[0][v] = Half(v, 63, Expand6);
      Entries[1][v] = Half(v, 31, Expand5);
      Entries[2][v] = Third(v, 63, Expand6);
      Entries[3][v] = Third(v, 31, Expand5);
    }
  }

  // First endpoint in the outer loop.
  static TSingleColorEntry Half(int v, int max, unsigned (*expand)(unsigned)) {
    TSingleColorEntry best{0, 0};
    int bestError = 1 << 30;
    for (int first = 0; first <= max; ++first) {
      for (int second = 0; second <= max; ++second) {
        const int value = int(expand(first) + expand(second)) / 2;
        const int error = std::abs(value - v);
        if (error < bestError) bestError = error, best = {std::uint8_t(first), std::uint8_t(second)};
      }
    }
    return best;
  }

  // Second endpoint in the outer loop.
  static TSingleColorEntry Third(int v, int max, unsigned (*expand)(unsigned)) {
    TSingleColorEntry best{0, 0};
    int bestError = 1 << 30;
    for (int second = 0; second <= max; ++second) {
      for (int first = 0; first <= max; ++first) {
        const int value = int(2 * expand(first) + expand(second)) / 3;
        const int error = std::abs(value - v);
        if (error < bestError) bestError = error, best = {std::uint8_t(first), std::uint8_t(second)};
      }
    }
    return best;
  }
};

}  // namespace

const TSingleColorEntry* SingleColorTable(int which) {
  static const TTables tables;
  return tables.Entries[which];
}

}  // namespace ashtint
