// The split search written once over a lane type; each form's file instantiates it with its
// own lanes. Includes no standard header, so a file may compile it for an extended instruction
// set without leaking such code into shared inline functions.
#pragma once

#include "textures/dxt_cluster_search.h"

namespace ashtint {
namespace {

// Split identifiers order like the loops: k0 outer, then k1, then k2.
constexpr int kSplitK0 = 17 * 17;
constexpr int kSplitK1 = 17;
constexpr int kNoSplit = 0x7fffffff;
constexpr float kLargestFloat = 3.40282347e+38f;
constexpr float kNotANumber = __builtin_nanf("");
constexpr float kRoundMagic = 8388608.0f;  // 2^23: adding and removing it rounds to even
constexpr float kOneThird = 1.0f / 3.0f;
constexpr float kFiveNinths = 5.0f / 9.0f;
constexpr float kOneNinth = 1.0f / 9.0f;
constexpr float kGrid[3] = {31.0f, 63.0f, 31.0f};
// The colour sums are carried multiplied by their grid: by the grid and a third for the pair
// and own sums, by the grid and a half for the 3-colour ones. The weight is not scaled.
constexpr float kThirdGrid[4] = {31.0f / 3.0f, 63.0f / 3.0f, 31.0f / 3.0f, kOneThird};
constexpr float kHalfGrid[4] = {15.5f, 31.5f, 15.5f, 0.5f};
// A green error in grid units counts (31 / 63)^2 of a red or blue one.
constexpr float kGreenWeight = (31.0f * 31.0f) / (63.0f * 63.0f);
// Every (j, l) with j <= l <= 16, row j after row j - 1: at most 153 entries, and room for the
// last row's whole groups of 8 and a vector more.
constexpr int kStreamSize = 153 + 16;

// T supplies: V (float lanes), I (int lanes), M (lane mask), Lanes, and the operations below.
// Max and Min follow the processor's rule: when a lane is not a number the second operand wins.
// MulAdd(a, b, c) is a * b + c and MulSub(a, b, c) a * b - c: rounded once where the lanes have
// fused multiply-add, twice where not, so forms agree bit for bit only with a form that fuses
// alike.
//
// With s the start weight of a point's cluster and t = 1 - s its end weight, every sum of a
// split follows from alpha-x (sum of w s x, with sum of w s in the weight lane) and
// alpha-squared: beta-x = total - alpha-x, beta-squared = W - 2 sum(w s) + alpha-squared and
// alpha-beta = sum(w s) - alpha-squared. With prefix sums P, clusters ending at k0, j and l:
// 4 colours: alpha-x = (P[k0] + P[j] + P[l]) / 3, alpha-squared = 5/9 P[k0] + 1/3 P[j] + 1/9 P[l];
// 3 colours: alpha-x = (P[k0] + P[j]) / 2, alpha-squared = 3/4 P[k0] + 1/4 P[j].
template <class T, bool Exact>
struct TSplitSearch {
  using V = typename T::V;
  using I = typename T::I;
  using M = typename T::M;

  // The error of one channel for grid endpoints qa, qb, in grid units: the grid squared times
  // a^2 aa + b^2 bb + 2 (a b ab - a ax - b bx), halved and factored as
  // a (a aa / 2 + b ab - ax) + b (b bb / 2 - bx).
  static inline V ChannelError(V qa, V qb, V halfAlpha2, V alphaBeta, V halfBeta2, V alphaX, V betaX) {
    const V p = T::MulAdd(qa, halfAlpha2, T::MulSub(qb, alphaBeta, alphaX));
    const V q = T::MulSub(qb, halfBeta2, betaX);
    return T::MulAdd(qa, p, T::Mul(qb, q));
  }

  // The error of the splits in the lanes, in a scale that keeps their order, with their
  // least-squares endpoints on the grid (optionally given back). The colour channels arrive
  // multiplied by their grid, so the endpoints come out on the grid and the error in grid
  // units, with no multiplication by the grid or its step per channel. alphaXOf(c) gives
  // alpha-x of channel c (3: the weight, unscaled), computed when needed to keep few values
  // live; total holds the scaled sums.
  template <class F>
  static inline V Evaluate(F alphaXOf, V alpha2, const float* total, V* startQ, V* endQ) {
    const V zero = T::Set(0.0f);
    const V alphaW = alphaXOf(3);
    const V beta2 = T::MulAdd(T::Set(-2.0f), alphaW, T::Add(T::Set(total[3]), alpha2));
    const V alphaBeta = T::Sub(alphaW, alpha2);
    const V d = T::MulSub(alpha2, beta2, T::Mul(alphaBeta, alphaBeta));
    V r = d;
    if constexpr (!Exact) r = T::Rcp(d);
    const V halfAlpha2 = T::Mul(alpha2, T::Set(0.5f));
    const V halfBeta2 = T::Mul(beta2, T::Set(0.5f));
    V outer = zero, green = zero;
    for (int c = 0; c < 3; ++c) {
      const V alphaX = alphaXOf(c);
      const V betaX = T::Sub(T::Set(total[c]), alphaX);
      const V na = T::MulSub(alphaX, beta2, T::Mul(betaX, alphaBeta));
      const V nb = T::MulSub(betaX, alpha2, T::Mul(alphaX, alphaBeta));
      V a, b;
      if constexpr (Exact) {
        a = T::Div(na, d);
        b = T::Div(nb, d);
      } else {
        a = T::Mul(na, r);
        b = T::Mul(nb, r);
      }
      const V g = T::Set(kGrid[c]);
      const V qa = T::RoundEven(T::Min(T::Max(a, zero), g));
      const V qb = T::RoundEven(T::Min(T::Max(b, zero), g));
      if (startQ) {
        startQ[c] = qa;
        endQ[c] = qb;
      }
      const V e = ChannelError(qa, qb, halfAlpha2, alphaBeta, halfBeta2, alphaX, betaX);
      if (c == 1) green = e;
      else outer = c == 0 ? e : T::Add(outer, e);
    }
    return T::MulAdd(green, T::Set(kGreenWeight), outer);
  }

  // Four clusters ending at k0 and at j and l per lane. The parts of the sums that do not
  // depend on k0 come precomputed: pair[c] = (P[j] + P[l]) / 3 for c < 4 and pair[4] =
  // P_w[j] / 3 + P_w[l] / 9 (channel c at pair + c * stride); k0's part is broadcast:
  // own[c] = P[k0] / 3, own[4] = 5/9 P_w[k0]. Colour channels are scaled by their grid.
  static inline V Batch4(const float* own, const float* pair, int stride, const float* total, V* startQ, V* endQ) {
    auto alphaXOf = [&](int c) { return T::Add(T::Set(own[c]), T::Load(pair + c * stride)); };
    const V alpha2 = T::Add(T::Set(own[4]), T::Load(pair + 4 * stride));
    return Evaluate(alphaXOf, alpha2, total, startQ, endQ);
  }

  // Three clusters ending at k0 (broadcast) and j (per lane), from the prefix sums as they come.
  static inline V Batch3(const float* pk0, const float* pj, int stride, const float* total, V* startQ,
                         V* endQ) {
    auto alphaXOf = [&](int c) {
      return T::MulAdd(T::Load(pj + c * stride), T::Set(kHalfGrid[c]), T::Set(pk0[c] * kHalfGrid[c]));
    };
    const V alpha2 = T::MulAdd(T::Load(pj + 3 * stride), T::Set(0.25f), T::Set(pk0[3] * 0.75f));
    return Evaluate(alphaXOf, alpha2, total, startQ, endQ);
  }

  // What Batch4 takes for the pair (j, l) and for k0.
  static void PairSums(const TClusterInput& in, int j, int l, float* pair, int stride) {
    for (int c = 0; c < 4; ++c) pair[c * stride] = (in.Prefix[c][j] + in.Prefix[c][l]) * kThirdGrid[c];
    pair[4 * stride] = in.Prefix[3][j] * kOneThird + in.Prefix[3][l] * kOneNinth;
  }
  static void OwnSums(const TClusterInput& in, int k0, float* own) {
    for (int c = 0; c < 4; ++c) own[c] = in.Prefix[c][k0] * kThirdGrid[c];
    own[4] = in.Prefix[3][k0] * kFiveNinths;
  }

  // The least-squares endpoints of one split on the grid, computed by the same lanes.
  static void SplitEndpoints(const TClusterInput& in, const float* total, int k0, int k1, int k2, V* startQ,
                             V* endQ) {
    if (!in.ThreeColor) {
      float own[5], pair[5][T::Lanes];
      OwnSums(in, k0, own);
      for (int l = 0; l < T::Lanes; ++l) PairSums(in, k0 + k1, k0 + k1 + k2, &pair[0][l], T::Lanes);
      Batch4(own, pair[0], T::Lanes, total, startQ, endQ);
    } else {
      float pk0[4], wj[4][T::Lanes];
      for (int c = 0; c < 4; ++c) pk0[c] = in.Prefix[c][k0];
      for (int c = 0; c < 4; ++c)
        for (int l = 0; l < T::Lanes; ++l) wj[c][l] = in.Prefix[c][k0 + k1];
      Batch3(pk0, wj[0], T::Lanes, total, startQ, endQ);
    }
  }

  static inline void KeepAll(V e, I ids, V& bestE, I& bestId) {
    const M better = T::Less(e, bestE);
    bestE = T::Select(better, e, bestE);
    bestId = T::SelectI(better, ids, bestId);
  }

  static inline void Keep(V e, int valid, I ids, V& bestE, I& bestId) {
    const M better = T::And(T::Less(e, bestE), T::Valid(valid));
    bestE = T::Select(better, e, bestE);
    bestId = T::SelectI(better, ids, bestId);
  }

  static void Run(const TClusterInput& in, TClusterResult& out) {
    const int n = in.Count;
    float total[4], pk0[4];
    for (int c = 0; c < 4; ++c) total[c] = in.Prefix[c][n] * (c < 3 ? kGrid[c] : 1.0f);
    V bestE = T::Set(kLargestFloat);
    I bestId = T::SetI(kNoSplit);
    // A split that puts every point in one cluster has no least-squares endpoints: their
    // divisor is zero, and what the lanes would give is rounding noise. The search leaves those
    // splits out; the encoder weighs a single palette entry for the mean colour on its own.
    if (!in.ThreeColor) {
      // All (j, l) pairs as one stream, row j after row j - 1; the splits with a given k0 are
      // the stream's tail from row k0 on, so lanes stay full across rows.
      alignas(32) float pair[5][kStreamSize];
      alignas(32) int sid[kStreamSize];
      int rowStart[17];
      int length = 0;
      for (int j = 0; j <= n; ++j) {
        rowStart[j] = length;
        for (int l = j; l <= n; ++l, ++length) {
          PairSums(in, j, l, &pair[0][length], kStreamSize);
          sid[length] = j * kSplitK1 + (l - j);  // k1 * 17 + k2 once k0 * 17 is taken off
        }
      }
      // Lanes past the end get no number, so their error never compares smaller.
      for (int i = length; i < length + 8; ++i) {
        for (int c = 0; c < 5; ++c) pair[c][i] = kNotANumber;
        sid[i] = kNoSplit;
      }
      // With k0 = 0 the pairs (0, 0), (0, n) and (n, n) hold one cluster each; with k0 = n
      // the only pair does.
      const int oneCluster[3] = {0, n, length - 1};
      float kept[3][5];
      for (int k0 = 0; k0 < n; ++k0) {
        float own[5];
        OwnSums(in, k0, own);
        const int base = k0 * (kSplitK0 - kSplitK1);
        if (k0 <= 1) {
          for (int u = 0; u < 3; ++u) {
            for (int c = 0; c < 5; ++c) {
              if (k0 == 0) kept[u][c] = pair[c][oneCluster[u]], pair[c][oneCluster[u]] = kNotANumber;
              else pair[c][oneCluster[u]] = kept[u][c];
            }
          }
        }
        for (int i = rowStart[k0]; i < length; i += T::Lanes) {
          const V e = Batch4(own, &pair[0][i], kStreamSize, total, nullptr, nullptr);
          KeepAll(e, T::AddI(T::LoadI(&sid[i]), base), bestE, bestId);
        }
      }
    } else {
      const I iota = T::Iota(kSplitK1);
      // With k0 = 0, j = 0 and j = n hold one cluster; with k0 = n the only j does.
      for (int k0 = 0; k0 < n; ++k0) {
        for (int c = 0; c < 4; ++c) pk0[c] = in.Prefix[c][k0];
        const int first = k0 == 0 ? 1 : k0, last = k0 == 0 ? n - 1 : n;
        for (int j = first; j <= last; j += T::Lanes) {
          const V e = Batch3(pk0, &in.Prefix[0][j], kClusterPrefixStride, total, nullptr, nullptr);
          Keep(e, last + 1 - j, T::AddI(iota, k0 * kSplitK0 + (j - k0) * kSplitK1), bestE, bestId);
        }
      }
    }
    // The first minimum in loop order: smallest error, then smallest identifier.
    float es[T::Lanes];
    int ids[T::Lanes];
    T::Store(es, bestE);
    T::StoreI(ids, bestId);
    float best = es[0];
    int id = ids[0];
    for (int l = 1; l < T::Lanes; ++l) {
      if (es[l] < best || (es[l] == best && ids[l] < id)) best = es[l], id = ids[l];
    }
    if (id == kNoSplit) id = 0;  // no split had a number: any will do, the encoder weighs another
    out.K0 = id / kSplitK0;
    out.K1 = (id % kSplitK0) / kSplitK1;
    out.K2 = id % kSplitK1;
    // The winner's endpoints, computed again by the same lanes.
    V startQ[3], endQ[3];
    SplitEndpoints(in, total, out.K0, out.K1, out.K2, startQ, endQ);
    for (int c = 0; c < 3; ++c) {
      out.Start[c] = static_cast<int>(T::First(startQ[c]));
      out.End[c] = static_cast<int>(T::First(endQ[c]));
    }
  }
};

// One lane of plain floating point.
struct TScalarLanes {
  using V = float;
  using I = int;
  using M = bool;
  static constexpr int Lanes = 1;
  static V Set(float v) { return v; }
  static V Load(const float* p) { return *p; }
  static V Add(V a, V b) { return a + b; }
  static V Sub(V a, V b) { return a - b; }
  static V Mul(V a, V b) { return a * b; }
  static V Div(V a, V b) { return a / b; }
  static V MulAdd(V a, V b, V c) { return a * b + c; }
  static V MulSub(V a, V b, V c) { return a * b - c; }
  static V Max(V a, V b) { return a > b ? a : b; }
  static V Min(V a, V b) { return a < b ? a : b; }
  // Round to nearest, ties to even, for 0 <= v < 2^22 in the default rounding mode.
  static V RoundEven(V v) {
    volatile float t = v + kRoundMagic;  // kept in single precision whatever the compiler does
    return t - kRoundMagic;
  }
  static M Less(V a, V b) { return a < b; }
  static M Valid(int count) { return count > 0; }
  static M And(M a, M b) { return a && b; }
  static V Select(M m, V a, V b) { return m ? a : b; }
  static I SelectI(M m, I a, I b) { return m ? a : b; }
  static I SetI(int v) { return v; }
  static I Iota(int) { return 0; }
  static I AddI(I a, int b) { return a + b; }
  static I LoadI(const int* p) { return *p; }
  static void Store(float* p, V v) { *p = v; }
  static void StoreI(int* p, I v) { *p = v; }
  static float First(V v) { return v; }
};

}  // namespace
}  // namespace ashtint
