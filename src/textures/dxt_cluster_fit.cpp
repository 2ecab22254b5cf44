// Colour half of a block with two or more colours: weighted cluster fit along the principal
// axis, a +-1 search per channel with the indices fixed, a single palette entry for the mean
// colour when that comes closer, then packing.
#include <cstdint>
#include <cstdlib>

#include "textures/dxt_cluster_search.h"
#include "textures/dxt_codec.h"
#include "textures/dxt_internal.h"

namespace ashtint {

namespace {

// v / 255 for every byte value, the same numbers as the division.
struct TByteScale {
  float Value[256];
  constexpr TByteScale() : Value() {
    for (int v = 0; v < 256; ++v) Value[v] = float(v) / 255.0f;
  }
};
constexpr TByteScale kByteScale;

// Principal axis of the weighted points by the power method.
void PrincipalAxis(const float (*x)[3], const float* w, int n, float* axis) {
  float total = 0, mean[3] = {0, 0, 0};
  for (int i = 0; i < n; ++i) {
    total += w[i];
    for (int c = 0; c < 3; ++c) mean[c] += w[i] * x[i][c];
  }
  for (int c = 0; c < 3; ++c) mean[c] /= total;
  float cov[6] = {0, 0, 0, 0, 0, 0};  // 00 01 02 11 12 22
  for (int i = 0; i < n; ++i) {
    const float d0 = x[i][0] - mean[0], d1 = x[i][1] - mean[1], d2 = x[i][2] - mean[2];
    cov[0] += w[i] * d0 * d0;
    cov[1] += w[i] * d0 * d1;
    cov[2] += w[i] * d0 * d2;
    cov[3] += w[i] * d1 * d1;
    cov[4] += w[i] * d1 * d2;
    cov[5] += w[i] * d2 * d2;
  }
  const float rows[3][3] = {{cov[0], cov[1], cov[2]}, {cov[1], cov[3], cov[4]},
                            {cov[2], cov[4], cov[5]}};
  float len[3];
  for (int r = 0; r < 3; ++r)
    len[r] = rows[r][0] * rows[r][0] + rows[r][1] * rows[r][1] + rows[r][2] * rows[r][2];
  const int start = (len[0] > len[1] && len[0] > len[2]) ? 0 : (len[1] > len[2] ? 1 : 2);
  float v[3] = {rows[start][0], rows[start][1], rows[start][2]};
  for (int iteration = 0; iteration < 8; ++iteration) {
    float m[3];
    for (int r = 0; r < 3; ++r) m[r] = rows[r][0] * v[0] + rows[r][1] * v[1] + rows[r][2] * v[2];
    float largest = m[0];
    if (m[1] > largest) largest = m[1];
    if (m[2] > largest) largest = m[2];
    for (int c = 0; c < 3; ++c) v[c] = m[c] / largest;
  }
  for (int c = 0; c < 3; ++c) axis[c] = v[c];
}

int Expand(int channel, int v) { return channel == 1 ? int(Expand6(v)) : int(Expand5(v)); }

// Per channel, the best endpoints within one step of the fitted ones for the fixed indices.
// The weighted error of a palette p is sum over indices k of W_k p_k^2 - 2 p_k S_k plus a
// constant, with W_k the summed pixel weights on index k and S_k their weighted channel values;
// the constant does not change which pair is the first smallest, so it is left out. Pixels of
// one colour share their index, so the sums run over the colours.
// Returns the error of the result, summed over the channels, in that measure.
std::int64_t RefineEndpoints(const TDxtColorSet& set, const std::int64_t* colorWeight, const std::uint8_t* colorIndex,
                             bool threeColor, int* start, int* end) {
  const int n = set.Count;
  std::int64_t total = 0;
  std::int64_t w[4] = {0, 0, 0, 0};
  for (int j = 0; j < n; ++j) w[colorIndex[j]] += colorWeight[j];
  for (int c = 0; c < 3; ++c) {
    const int max = c == 1 ? 63 : 31;
    const int shift = 8 * c;  // blue, green, red bytes
    std::int64_t sum[4] = {0, 0, 0, 0};
    for (int j = 0; j < n; ++j)
      sum[colorIndex[j]] += colorWeight[j] * std::int64_t((set.Colors[j] >> shift) & 255);
    // The terms of indices 0 and 1 depend on one endpoint each.
    auto term = [&](int k, std::int64_t p) { return p * (w[k] * p - 2 * sum[k]); };
    std::int64_t startTerm[3], endTerm[3];
    for (int d = 0; d < 3; ++d) {
      startTerm[d] = term(0, Expand(c, start[c] - 1 + d < 0 ? 0 : start[c] - 1 + d));
      endTerm[d] = term(1, Expand(c, end[c] - 1 + d < 0 ? 0 : end[c] - 1 + d));
    }
    std::int64_t bestError = INT64_MAX;
    int bestStart = start[c], bestEnd = end[c];
    for (int ds = 0; ds < 3; ++ds) {
      const int s = start[c] - 1 + ds;
      if (s < 0 || s > max) continue;
      const int e0 = Expand(c, s);
      for (int de = 0; de < 3; ++de) {
        const int e = end[c] - 1 + de;
        if (e < 0 || e > max) continue;
        const int e1 = Expand(c, e);
        std::int64_t error = startTerm[ds] + endTerm[de];
        if (threeColor) {
          error += term(2, (e0 + e1) / 2);  // index 3 is transparent black: p = 0
        } else {
          error += term(2, (2 * e0 + e1) / 3) + term(3, (e0 + 2 * e1) / 3);
        }
        if (error < bestError) bestError = error, bestStart = s, bestEnd = e;
      }
    }
    start[c] = bestStart;
    end[c] = bestEnd;
    total += bestError;
  }
  return total;
}

// Per pixel colour, the weight of the measure above: half its alpha squared, summed over its
// pixels (a transparent DXT1 pixel weighs nothing).
void ColorWeights(const TDxtColorSet& set, std::int64_t* colorWeight) {
  for (int k = 0; k < 16; ++k) colorWeight[k] = 0;
  for (int i = 0; i < 16; ++i) {
    if (set.Map[i] < 0) continue;
    const std::int64_t a = PixelAlpha(set.Pixels[i]);
    colorWeight[set.Map[i]] += (a * a) / 2;
  }
}

// The grid value of a channel whose expansion comes closest to v, the lower one on a tie.
int NearestOnGrid(int v, int bits) {
  const int max = (1 << bits) - 1;
  int best = (v * max + 127) / 255;
  int bestDistance = 256;
  for (int g = best - 1; g <= best + 1; ++g) {
    if (g < 0 || g > max) continue;
    const int d = std::abs(Expand(bits == 6 ? 1 : 0, g) - v);
    if (d < bestDistance) bestDistance = d, best = g;
  }
  return best;
}

// A block of nearly one colour may be closest as a single palette entry for its mean colour,
// which the split search cannot give: that split puts every colour in one cluster, where least
// squares has no answer. Two entries are tried, an endpoint itself and the interpolated one of
// the single-colour tables (index 2; index 3 would mirror it), each made closest to the mean;
// the better is kept if it beats the fitted result in the same measure. Returns the index all
// colours take, or -1.
int SingleEntry(const TDxtColorSet& set, const std::int64_t* colorWeight, bool threeColor, std::int64_t fitted,
                int* start, int* end) {
  // A block's weights sum to at most 16 x 255^2 / 2, so the sums fit 32 bits.
  std::int32_t weight = 0, sum[3] = {0, 0, 0};
  for (int j = 0; j < set.Count; ++j) {
    const std::int32_t w = std::int32_t(colorWeight[j]);
    weight += w;
    for (int c = 0; c < 3; ++c) sum[c] += w * std::int32_t((set.Colors[j] >> (8 * c)) & 255);
  }
  if (weight == 0) return -1;
  int target[3];
  for (int c = 0; c < 3; ++c) target[c] = (sum[c] + weight / 2) / weight;
  int bestIndex = -1;
  std::int64_t bestError = fitted;
  for (int index = 0; index <= 2; index += 2) {
    int a[3], b[3];
    std::int64_t error = 0;
    for (int c = 0; c < 3; ++c) {
      const int bits = c == 1 ? 6 : 5;
      int entry;
      if (index == 0) {
        a[c] = b[c] = NearestOnGrid(target[c], bits);
        entry = Expand(c, a[c]);
      } else {
        // Index 2 is (2 a + b) / 3, or (a + b) / 2 in the 3-colour mode.
        const TSingleColorEntry& pair =
            SingleColorTable(threeColor ? (bits == 6 ? 0 : 1) : (bits == 6 ? 2 : 3))[target[c]];
        a[c] = pair.First, b[c] = pair.Second;
        const int ea = Expand(c, a[c]), eb = Expand(c, b[c]);
        entry = threeColor ? (ea + eb) / 2 : (2 * ea + eb) / 3;
      }
      const std::int64_t p = entry;
      error += p * (weight * p - 2 * std::int64_t(sum[c]));
    }
    if (error < bestError) {
      bestError = error, bestIndex = index;
      for (int c = 0; c < 3; ++c) start[c] = a[c], end[c] = b[c];
    }
  }
  return bestIndex;
}

}  // namespace

void EncodeDxtClusterFit(const TDxtColorSet& set, std::uint8_t* destination) {
  const int n = set.Count;
  const bool threeColor = set.ThreeColor != 0;
  float points[16][3], weights[16];
  for (int i = 0; i < n; ++i) {
    points[i][0] = kByteScale.Value[PixelBlue(set.Colors[i])];
    points[i][1] = kByteScale.Value[PixelGreen(set.Colors[i])];
    points[i][2] = kByteScale.Value[PixelRed(set.Colors[i])];
    weights[i] = float(set.Weights[i]) / 255.0f;
  }
  float axis[3];
  PrincipalAxis(points, weights, n, axis);

  // Insertion sort by projection keeps equal projections in colour order.
  int order[16];
  float dot[16];
  for (int i = 0; i < n; ++i) {
    const float d = points[i][0] * axis[0] + points[i][1] * axis[1] + points[i][2] * axis[2];
    int k = i;
    while (k > 0 && d < dot[k - 1]) {
      dot[k] = dot[k - 1];
      order[k] = order[k - 1];
      --k;
    }
    dot[k] = d;
    order[k] = i;
  }

  TClusterInput input;
  input.Count = n;
  input.ThreeColor = threeColor;
  for (int c = 0; c < 4; ++c) {
    float* prefix = input.Prefix[c];
    float running = 0;
    prefix[0] = 0;
    for (int i = 0; i < n; ++i) {
      const int p = order[i];
      running += c < 3 ? weights[p] * points[p][c] : weights[p];
      prefix[i + 1] = running;
    }
    for (int k = n + 1; k < kClusterPrefixStride; ++k) prefix[k] = 0;
  }

  TClusterResult fit;
  ActiveClusterSearch()(input, fit);

  // Indices in projection order, then per pixel.
  std::uint8_t colorIndex[16];
  for (int i = 0; i < n; ++i) {
    std::uint8_t index;
    if (i < fit.K0) index = 0;
    else if (i < fit.K0 + fit.K1) index = 2;
    else if (!threeColor && i < fit.K0 + fit.K1 + fit.K2) index = 3;
    else index = 1;
    colorIndex[order[i]] = index;
  }
  std::uint8_t indices[16];
  for (int i = 0; i < 16; ++i) indices[i] = set.Map[i] < 0 ? 3 : colorIndex[set.Map[i]];

  int start[3], end[3];
  for (int c = 0; c < 3; ++c) start[c] = fit.Start[c], end[c] = fit.End[c];
  std::int64_t colorWeight[16];
  ColorWeights(set, colorWeight);
  const std::int64_t fitted = RefineEndpoints(set, colorWeight, colorIndex, threeColor, start, end);
  const int single = SingleEntry(set, colorWeight, threeColor, fitted, start, end);
  if (single >= 0)
    for (int i = 0; i < 16; ++i) indices[i] = set.Map[i] < 0 ? 3 : std::uint8_t(single);

  const unsigned s = unsigned(start[2] << 11 | start[1] << 5 | start[0]);
  const unsigned e = unsigned(end[2] << 11 | end[1] << 5 | end[0]);
  unsigned c0 = s, c1 = e;
  if (!threeColor) {
    if (s < e) {
      c0 = e, c1 = s;
      for (auto& index : indices) index ^= 1;
    } else if (s == e) {
      for (auto& index : indices) index = 0;
    }
  } else if (s > e) {
    c0 = e, c1 = s;
    for (auto& index : indices)
      if (index < 2) index ^= 1;
  }
  StoreLE16(destination, c0);
  StoreLE16(destination + 2, c1);
  for (int r = 0; r < 4; ++r) {
    destination[4 + r] = std::uint8_t(indices[4 * r] | indices[4 * r + 1] << 2 |
                                      indices[4 * r + 2] << 4 | indices[4 * r + 3] << 6);
  }
}

}  // namespace ashtint
