// Dimming in the compressed domain. A dimmed block holds at most the four colours of its own
// palette, each dimmed exactly. The block keeps its pixels' grouping: entry k of the source
// palette goes to one index of the new palette (keeping the indices, or spreading the narrower
// dimmed palette over more of the new one), and for a fixed mapping every channel of the new
// palette depends only on that channel of the two endpoints. A table built once per visibility
// holds, per source endpoint pair of a channel and per mapping, the best new pair; a block
// measures every mapping against its alpha-weighted dimmed palette, takes the best, and
// searches one grid step around its pairs with its own weights, measured with the decoder's
// integer palette. That comes closer to the exact result than decoding and encoding again, at a
// fraction of the cost.
#include "textures/dxt_dim.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "textures/dxt_cluster_search.h"
#include "textures/dxt_dim_search.h"
#include "textures/dxt_internal.h"
#include "textures/dxt_mt.h"

namespace ashtint {

namespace {

inline int Dim(int value, int visibility) { return visibility < 1 ? 0 : visibility * value / 100; }

// The set bits of a word whose bits are set only at even places: in two steps, where the
// library's count is a call on processors without a counting instruction.
inline std::int32_t PairCount(std::uint32_t v) {
  v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);  // 4-bit fields hold at most 2
  v = (v + (v >> 4)) & 0x0F0F0F0Fu;
  return std::int32_t((v * 0x01010101u) >> 24);
}

inline int ExpandBits(int v, int bits) { return bits == 6 ? int(Expand6(unsigned(v))) : int(Expand5(unsigned(v))); }

// Where the palette entries of a block go in its dimmed form: entry k of the source takes
// index Map[k]. Keeping the indices is the first choice; the others spread a dimmed, narrower
// palette over more of the new one, whose interpolated entries then fall between the grid
// steps of the endpoints. These sixteen (one vector of lanes) won most often when every
// order-keeping mapping was tried on real textures.
constexpr int kMapCount = 16;
constexpr std::uint8_t kMaps[kMapCount][4] = {
    {0, 1, 2, 3}, {0, 2, 2, 2}, {0, 1, 2, 2}, {2, 1, 2, 3}, {2, 1, 3, 3}, {0, 3, 2, 2}, {2, 1, 2, 2}, {2, 1, 3, 1},
    {2, 3, 2, 3}, {0, 3, 2, 3}, {2, 3, 3, 3}, {3, 1, 3, 1}, {2, 2, 2, 2}, {0, 2, 0, 2}, {0, 1, 3, 1}, {0, 1, 0, 2}};

// The palette positions of the indices: palette = s * A + (1 - s) * B.
constexpr double kFourS[4] = {1.0, 0.0, 2.0 / 3.0, 1.0 / 3.0};
constexpr double kThreeS[4] = {1.0, 0.0, 0.5, 0.0};

// Per index of the new palette: the summed weight of the entries mapped to it, and their
// weighted channel value. A block's weights sum to at most 16 x 255, so every error below fits
// in 32 bits: each index adds W (v - t)^2 - W t^2, between -W 255^2 and W 255^2.
struct TIndexSums {
  std::int32_t W[4], S[4];
};

// The least-squares endpoints of one channel, on the grid.
void LeastSquaresPair(const TIndexSums& sums, bool fourColor, int bits, int& ca, int& cb) {
  const int max = (1 << bits) - 1;
  const double* s = fourColor ? kFourS : kThreeS;
  double p = 0, q = 0, r = 0, x = 0, y = 0, total = 0, mean = 0;
  for (int j = 0; j < 4; ++j) {
    const double w = double(sums.W[j]);
    if (w == 0) continue;
    const double t = s[j], u = 1.0 - s[j], st = double(sums.S[j]);
    p += w * t * t, q += w * u * u, r += w * t * u;
    x += t * st, y += u * st;
    total += w, mean += st;
  }
  double fa = 0, fb = 0;
  const double det = p * q - r * r;
  if (total == 0) {
    fa = fb = 0;
  } else if (det <= 1e-9 * p * q) {
    fa = fb = mean / total;  // one index carries all the weight
  } else {
    fa = (x * q - y * r) / det;
    fb = (y * p - x * r) / det;
  }
  const auto toGrid = [max](double v) {
    const double g = std::nearbyint(v * max / 255.0);
    return g < 0 ? 0 : (g > max ? max : int(g));
  };
  ca = toGrid(fa), cb = toGrid(fb);
}

// The endpoint pair (a, b) of one channel whose palette comes closest to the mapped targets,
// and its error without the constant sum of weight * target^2: every pair within radius grid
// steps of (ca, cb) is tried, the first smallest kept.
std::int64_t SearchPair(const TIndexSums& sums, bool fourColor, int bits, int radius, int ca, int cb, int& a,
                        int& b) {
  const int max = (1 << bits) - 1;
  const int a0 = ca - radius < 0 ? 0 : ca - radius, a1 = ca + radius > max ? max : ca + radius;
  const int b0 = cb - radius < 0 ? 0 : cb - radius, b1 = cb + radius > max ? max : cb + radius;

  // Indices 0 and 1 depend on one endpoint each.
  const auto term = [&sums](int j, std::int64_t v) { return v * (sums.W[j] * v - 2 * sums.S[j]); };
  int expA[5], expB[5];
  std::int64_t termA[5], termB[5];
  for (int v = a0; v <= a1; ++v) expA[v - a0] = ExpandBits(v, bits), termA[v - a0] = term(0, expA[v - a0]);
  for (int v = b0; v <= b1; ++v) expB[v - b0] = ExpandBits(v, bits), termB[v - b0] = term(1, expB[v - b0]);
  std::int64_t best = INT64_MAX;
  a = ca, b = cb;
  for (int i = 0; i <= a1 - a0; ++i) {
    const int ea = expA[i];
    for (int j = 0; j <= b1 - b0; ++j) {
      const int eb = expB[j];
      std::int64_t error = termA[i] + termB[j];
      if (fourColor)
        error += term(2, (2 * ea + eb) / 3) + term(3, (ea + 2 * eb) / 3);
      else
        error += term(2, (ea + eb) / 2);
      if (error < best) best = error, a = a0 + i, b = b0 + j;
    }
  }
  return best;
}

// SearchPair with radius 1, the same choice without branches: all nine pairs are measured and
// the first smallest kept, a pair off the grid never.
template <int Bits, bool FourColor>
inline void SearchNear(const TIndexSums& sums, int ca, int cb, int& a, int& b) {
  constexpr int max = (1 << Bits) - 1;
  const auto term = [&sums](int j, std::int32_t v) { return v * (sums.W[j] * v - 2 * sums.S[j]); };
  std::int32_t ea[3], eb[3], ta[3], tb[3];
  bool va[3], vb[3];
  for (int d = 0; d < 3; ++d) {
    const int x = ca - 1 + d, y = cb - 1 + d;
    va[d] = x >= 0 && x <= max, vb[d] = y >= 0 && y <= max;
    ea[d] = ExpandBits(x < 0 ? 0 : (x > max ? max : x), Bits);
    eb[d] = ExpandBits(y < 0 ? 0 : (y > max ? max : y), Bits);
    ta[d] = term(0, ea[d]), tb[d] = term(1, eb[d]);
  }
  std::int32_t best = INT32_MAX;
  int bi = 1, bj = 1;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const unsigned x = unsigned(ea[i]), y = unsigned(eb[j]);
      std::int32_t error = ta[i] + tb[j];
      if constexpr (FourColor)
        error += term(2, std::int32_t((2 * x + y) / 3)) + term(3, std::int32_t((x + 2 * y) / 3));
      else
        error += term(2, std::int32_t((x + y) / 2));
      error = va[i] && vb[j] ? error : INT32_MAX;
      const bool better = error < best;
      best = better ? error : best;
      bi = better ? i : bi;
      bj = better ? j : bj;
    }
  }
  a = ca - 1 + bi, b = cb - 1 + bj;
}

// The two forms in use, both vector or both plain.
bool VectorFormsAvailable() {
#ifdef ASHTINT_DIM_X86
  return ClusterSearchFormAvailable(TClusterSearchForm::AVX2);
#else
  return false;
#endif
}

TDimNearFn NearForm(bool vector) {
#ifdef ASHTINT_DIM_X86
  if (vector) return DimNearAVX2;
#endif
  return DimNearScalar;
}

TDimMapErrorsFn MapErrorsForm(bool vector) {
#ifdef ASHTINT_DIM_X86
  if (vector) return DimMapErrorsAVX2;
#endif
  return DimMapErrorsScalar;
}

std::atomic<TDimNearFn> activeNearFn{NearForm(VectorFormsAvailable())};
std::atomic<TDimMapErrorsFn> activeMapErrorsFn{MapErrorsForm(VectorFormsAvailable())};

// Per visibility, for every endpoint pair of a 5-bit and a 6-bit channel and every mapping:
// the best new pair when each palette entry of the source counts alike. A block then only
// measures each mapping's pairs with its own weights and searches around the winner.
class TDimTable {
 public:
  explicit TDimTable(int visibility) : Visibility(visibility) {
    for (int v = 0; v < 256; ++v) Dimmed[v] = Dim(v, visibility);
    for (int m = 0; m < kMapCount; ++m)
      for (int k = 0; k < 256; ++k)
        IndexBytes[m][k] = std::uint8_t(kMaps[m][k & 3] | kMaps[m][(k >> 2) & 3] << 2 | kMaps[m][(k >> 4) & 3] << 4 |
                                        kMaps[m][k >> 6] << 6);
    for (int kind = 0; kind < 4; ++kind) {
      const int bits = kind & 1 ? 6 : 5;
      const bool fourColor = kind < 2;
      const int side = 1 << bits;
      auto& pairs = Pairs[kind];
      pairs.resize(std::size_t(fourColor ? kMapCount : 1) * side * side);
      if (fourColor) Lanes[kind].assign(std::size_t(side) * side * 64, 0);
      for (int m = 0; m < (fourColor ? kMapCount : 1); ++m) {
        for (int a = 0; a < side; ++a) {
          for (int b = 0; b < side; ++b) {
            int target[4];
            Targets(ExpandBits(a, bits), ExpandBits(b, bits), fourColor, visibility, target);
            TIndexSums sums = {};
            for (int k = 0; k < (fourColor ? 4 : 3); ++k) sums.W[kMaps[m][k]] += 1, sums.S[kMaps[m][k]] += target[k];
            int ca, cb, na, nb;
            LeastSquaresPair(sums, fourColor, bits, ca, cb);
            SearchPair(sums, fourColor, bits, 2, ca, cb, na, nb);
            const std::size_t at = (std::size_t(m) * side + a) * side + b;
            pairs[at] = std::uint16_t(na << 8 | nb);
            const int ea = ExpandBits(na, bits), eb = ExpandBits(nb, bits);
            const int q[4] = {ea, eb, fourColor ? (2 * ea + eb) / 3 : (ea + eb) / 2, fourColor ? (ea + 2 * eb) / 3 : 0};
            if (fourColor)
              for (int k = 0; k < 4; ++k)
                Lanes[kind][(std::size_t(a) * side + b) * 64 + 16 * k + m] = std::uint8_t(q[kMaps[m][k]]);
          }
        }
      }
    }
  }
  // The new pair of channel endpoints (a, b) under mapping m; kind: bit 0 six bits, bit 1 the
  // 3-colour mode.
  std::uint16_t Pair(int kind, int m, int a, int b) const {
    const int side = kind & 1 ? 64 : 32;
    return Pairs[kind][(std::size_t(m) * side + a) * side + b];
  }
  // What the source palette entries get from those pairs, for every mapping at once (4-colour
  // kinds): per source entry 16 bytes, one per mapping.
  const std::uint8_t* Lanes16(int kind, int a, int b) const {
    const int side = kind & 1 ? 64 : 32;
    return Lanes[kind].data() + (std::size_t(a) * side + b) * 64;
  }
  static void Targets(int e0, int e1, bool fourColor, int visibility, int* target) {
    target[0] = Dim(e0, visibility);
    target[1] = Dim(e1, visibility);
    target[2] = Dim(fourColor ? (2 * e0 + e1) / 3 : (e0 + e1) / 2, visibility);
    target[3] = fourColor ? Dim((e0 + 2 * e1) / 3, visibility) : 0;
  }

  // Four indices of a byte after mapping m.
  std::uint32_t MapIndices(int m, std::uint32_t indices) const {
    return std::uint32_t(IndexBytes[m][indices & 255]) | std::uint32_t(IndexBytes[m][(indices >> 8) & 255]) << 8 |
           std::uint32_t(IndexBytes[m][(indices >> 16) & 255]) << 16 | std::uint32_t(IndexBytes[m][indices >> 24]) << 24;
  }

  const int Visibility;
  int Dimmed[256];

 private:
  std::uint8_t IndexBytes[kMapCount][256];
  std::vector<std::uint16_t> Pairs[4];
  std::vector<std::uint8_t> Lanes[2];
};

// The colour half of one block, dimmed; pixelWeight holds each pixel's weight (its alpha), or
// is null when every pixel counts alike (DXT1).
void DimColorBlock(const TDimTable& table, const std::uint8_t* source, std::uint8_t* destination, bool isDXT1,
                   const int* pixelWeight) {
  const unsigned c0 = unsigned(source[0] | source[1] << 8), c1 = unsigned(source[2] | source[3] << 8);
  const std::uint32_t sourceIndices = LoadLE32(source + 4);
  const bool fourColor = !isDXT1 || c0 > c1;

  // How many pixels each index holds, from the two bits of every index at once.
  const std::uint32_t low = sourceIndices & 0x55555555u, high = (sourceIndices >> 1) & 0x55555555u;
  std::int32_t count[4];
  count[3] = PairCount(low & high);
  count[2] = PairCount(high & ~low);
  count[1] = PairCount(low & ~high);
  count[0] = 16 - count[1] - count[2] - count[3];
  std::int32_t weight[4] = {count[0], count[1], count[2], count[3]};
  if (pixelWeight) {
    weight[0] = weight[1] = weight[2] = weight[3] = 0;
    for (int i = 0; i < 16; ++i) weight[(sourceIndices >> (2 * i)) & 3] += pixelWeight[i];
  }
  if (!fourColor) weight[3] = count[3] = 0;  // transparent black stays what it is
  if (weight[0] + weight[1] + weight[2] + weight[3] == 0) {
    // Nothing visible: the colours still matter to filtering, so every pixel counts alike.
    for (int k = 0; k < 4; ++k) weight[k] = count[k];
  }

  // Channels in the 5:6:5 order from the top: red (11), green (5), blue (0).
  static constexpr int kShift[3] = {11, 5, 0};
  static constexpr int kBits[3] = {5, 6, 5};
  int target[3][4], sa[3], sb[3];
  for (int c = 0; c < 3; ++c) {
    const int mask = (1 << kBits[c]) - 1;
    sa[c] = int(c0 >> kShift[c]) & mask;
    sb[c] = int(c1 >> kShift[c]) & mask;
    const unsigned e0 = unsigned(ExpandBits(sa[c], kBits[c])), e1 = unsigned(ExpandBits(sb[c], kBits[c]));
    target[c][0] = table.Dimmed[e0];
    target[c][1] = table.Dimmed[e1];
    target[c][2] = table.Dimmed[fourColor ? (2 * e0 + e1) / 3 : (e0 + e1) / 2];
    target[c][3] = fourColor ? table.Dimmed[(e0 + 2 * e1) / 3] : 0;
  }

  // The mapping whose tabled pairs fit this block's weighted palette best; the 3-colour mode
  // keeps its indices.
  const int kindBase = fourColor ? 0 : 2;
  int bestMap = 0;
  if (fourColor) {
    static_assert(kMapCount == 16, "one lane per mapping");
    const std::uint8_t* lanes[3];
    for (int c = 0; c < 3; ++c) lanes[c] = table.Lanes16(c == 1, sa[c], sb[c]);
    std::int32_t errors[kMapCount];
    activeMapErrorsFn.load(std::memory_order_relaxed)(lanes, target, weight, errors);
    for (int m = 1; m < kMapCount; ++m)
      if (errors[m] < errors[bestMap]) bestMap = m;
  }
  // Its pairs searched one step around with the block's own weights.
  const std::uint8_t* map = kMaps[bestMap];
  const TDimNearFn activeNear = activeNearFn.load(std::memory_order_relaxed);
  // Only the sums start at zero; the rest is set below (clearing the whole struct was a slow
  // string store per block).
  TDimNearInput near;
  near.FourColor = fourColor;
  for (int k = 0; k < 4; ++k) near.W[k] = near.S[0][k] = near.S[1][k] = near.S[2][k] = 0;
  for (int k = 0; k < 4; ++k) near.W[map[k]] += weight[k];
  for (int c = 0; c < 3; ++c) {
    for (int k = 0; k < 4; ++k) near.S[c][map[k]] += weight[k] * target[c][k];
    const std::uint16_t pair = table.Pair(kindBase + (c == 1), bestMap, sa[c], sb[c]);
    near.A[c] = pair >> 8, near.B[c] = pair & 255;
  }
  int a[3], b[3];
  activeNear(near, a, b);
  unsigned n0 = 0, n1 = 0;
  for (int c = 0; c < 3; ++c) {
    n0 |= unsigned(a[c]) << kShift[c];
    n1 |= unsigned(b[c]) << kShift[c];
  }
  std::uint32_t indices = table.MapIndices(bestMap, sourceIndices);

  if (isDXT1) {
    // The order of the endpoints selects the palette mode in DXT1: swapping them with their
    // indices gives the same colours, and equal ones give one colour on every index.
    if (fourColor) {
      if (n0 < n1) {
        std::swap(n0, n1);
        indices ^= 0x55555555u;
      } else if (n0 == n1) {
        indices = 0;
      }
    } else if (n0 > n1) {
      std::swap(n0, n1);
      indices ^= ~(indices >> 1) & 0x55555555u;  // 0 <-> 1, 2 and 3 stay
    }
  }
  StoreLE16(destination, n0);
  StoreLE16(destination + 2, n1);
  StoreLE32(destination + 4, indices);
}

// The table of the last visibility asked for; a run uses one visibility.
std::shared_ptr<const TDimTable> TableOf(int visibility) {
  static std::mutex lock;
  static std::shared_ptr<const TDimTable> last;
  std::lock_guard guard(lock);
  if (!last || last->Visibility != visibility) last = std::make_shared<const TDimTable>(visibility);
  return last;
}

void DimBlockRange(const TDimTable& table, const std::uint8_t* source, std::uint8_t* destination,
                   std::size_t blockCount, bool isDXT1);

}  // namespace

void DimNearScalar(const TDimNearInput& input, int* a, int* b) {
  for (int c = 0; c < 3; ++c) {
    TIndexSums sums;
    for (int k = 0; k < 4; ++k) sums.W[k] = input.W[k], sums.S[k] = input.S[c][k];
    if (c == 1)
      input.FourColor ? SearchNear<6, true>(sums, input.A[c], input.B[c], a[c], b[c])
                      : SearchNear<6, false>(sums, input.A[c], input.B[c], a[c], b[c]);
    else
      input.FourColor ? SearchNear<5, true>(sums, input.A[c], input.B[c], a[c], b[c])
                      : SearchNear<5, false>(sums, input.A[c], input.B[c], a[c], b[c]);
  }
}

void DimMapErrorsScalar(const std::uint8_t* const* lanes, const int (*target)[4], const std::int32_t* weight,
                        std::int32_t* errors) {
  for (int m = 0; m < kMapCount; ++m) errors[m] = 0;
  for (int k = 0; k < 4; ++k)
    for (int c = 0; c < 3; ++c)
      for (int m = 0; m < kMapCount; ++m) {
        const std::int32_t d = target[c][k] - std::int32_t(lanes[c][16 * k + m]);
        errors[m] += weight[k] * d * d;
      }
}

bool SetDimNearVector(bool vector) {
  if (vector && !VectorFormsAvailable()) return false;
  activeNearFn.store(NearForm(vector), std::memory_order_relaxed);
  activeMapErrorsFn.store(MapErrorsForm(vector), std::memory_order_relaxed);
  return true;
}

void PrepareDimDXT(int visibility) { TableOf(visibility); }

void DimDXTBlocks(const std::uint8_t* source, std::uint8_t* destination, std::size_t blockCount, bool isDXT1,
                  int visibility) {
  const std::shared_ptr<const TDimTable> table = TableOf(visibility);
  // Large levels are shared out over the processors, as the encoder does with its blocks.
  const std::size_t blockBytes = isDXT1 ? 8 : 16;
  ShareOverProcessors(blockCount, 4096, [&](std::size_t first, std::size_t count) {
    DimBlockRange(*table, source + first * blockBytes, destination + first * blockBytes, count, isDXT1);
  });
}

namespace {

void DimBlockRange(const TDimTable& table, const std::uint8_t* source, std::uint8_t* destination,
                   std::size_t blockCount, bool isDXT1) {
  int pixelWeight[16];
  if (isDXT1) {
    for (std::size_t n = 0; n < blockCount; ++n, source += 8, destination += 8)
      DimColorBlock(table, source, destination, true, nullptr);
    return;
  }
  for (std::size_t n = 0; n < blockCount; ++n, source += 16, destination += 16) {
    if (destination != source) std::memcpy(destination, source, 8);  // dimming never touches alpha
    unsigned palette[8];
    BuildAlphaPalette(source[0], source[1], palette);
    std::uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= std::uint64_t(source[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) pixelWeight[i] = int(palette[(bits >> (3 * i)) & 7]);
    DimColorBlock(table, source + 8, destination + 8, false, pixelWeight);
  }
}

}  // namespace

}  // namespace ashtint
