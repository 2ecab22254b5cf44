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
constexpr float kRoundMagic = 8388608.0f;  // 2^23: adding and removing it rounds to even
constexpr float kOneThird = 1.0f / 3.0f;
constexpr float kFiveNinths = 5.0f / 9.0f;
constexpr float kOneNinth = 1.0f / 9.0f;
constexpr float kGrid[3] = {31.0f, 63.0f, 31.0f};
// Multiplying by the grid step instead of dividing by the grid: a division per lane costs
// several multiplications, and two per channel were a third of the search.
constexpr float kGridStep[3] = {1.0f / 31.0f, 1.0f / 63.0f, 1.0f / 31.0f};
// Every (j, l) with j <= l <= 16, row j after row j - 1: at most 153 entries, and room for the
// last row's whole groups of 8 and a vector more.
constexpr int kStreamSize = 153 + 16;

// T supplies: V (float lanes), I (int lanes), M (lane mask), Lanes, and the operations below.
// Max and Min follow the processor's rule: when a lane is not a number the second operand wins.
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

  // Error of the splits in the lanes, and optionally their endpoints on the grid. alphaXOf(c)
  // gives alpha-x of channel c (3: the weight), computed when needed to keep few values live.
  template <class F>
  static inline V Evaluate(F alphaXOf, V alpha2, const float* total, V* startQ, V* endQ) {
    const V zero = T::Set(0.0f), one = T::Set(1.0f), two = T::Set(2.0f);
    const V alphaW = alphaXOf(3);
    const V beta2 = T::Add(T::Sub(T::Set(total[3]), T::Mul(two, alphaW)), alpha2);
    const V alphaBeta = T::Sub(alphaW, alpha2);
    const V d = T::Sub(T::Mul(alpha2, beta2), T::Mul(alphaBeta, alphaBeta));
    V factor = d;
    if constexpr (!Exact) factor = T::Rcp(d);
    V e[3];
    for (int c = 0; c < 3; ++c) {
      const V alphaX = alphaXOf(c);
      const V betaX = T::Sub(T::Set(total[c]), alphaX);
      const V na = T::Sub(T::Mul(alphaX, beta2), T::Mul(betaX, alphaBeta));
      const V nb = T::Sub(T::Mul(betaX, alpha2), T::Mul(alphaX, alphaBeta));
      V a, b;
      if constexpr (Exact) {
        a = T::Div(na, factor);
        b = T::Div(nb, factor);
      } else {
        a = T::Mul(na, factor);
        b = T::Mul(nb, factor);
      }
      a = T::Min(T::Max(a, zero), one);
      b = T::Min(T::Max(b, zero), one);
      const V g = T::Set(kGrid[c]);
      const V qa = T::RoundEven(T::Mul(a, g));
      const V qb = T::RoundEven(T::Mul(b, g));
      if (startQ) {
        startQ[c] = qa;
        endQ[c] = qb;
      }
      const V step = T::Set(kGridStep[c]);
      a = T::Mul(qa, step);
      b = T::Mul(qb, step);
      const V t1 = T::Add(T::Mul(T::Mul(a, a), alpha2), T::Mul(T::Mul(b, b), beta2));
      const V t2 = T::Sub(T::Sub(T::Mul(T::Mul(a, b), alphaBeta), T::Mul(a, alphaX)),
                          T::Mul(b, betaX));
      e[c] = T::Add(t1, T::Mul(two, t2));
    }
    return T::Add(T::Add(e[0], e[1]), e[2]);
  }

  // Four clusters ending at k0 (broadcast), j and l (per lane: the sums of channel c are at
  // pj + c * stride and pl + c * stride).
  static inline V Batch4(const float* pk0, const float* pj, const float* pl, int stride,
                         const float* total, V* startQ, V* endQ) {
    auto alphaXOf = [&](int c) {
      return T::Mul(T::Add(T::Add(T::Set(pk0[c]), T::Load(pj + c * stride)), T::Load(pl + c * stride)),
                    T::Set(kOneThird));
    };
    const V alpha2 = T::Add(T::Add(T::Set(pk0[3] * kFiveNinths), T::Mul(T::Load(pj + 3 * stride), T::Set(kOneThird))),
                            T::Mul(T::Load(pl + 3 * stride), T::Set(kOneNinth)));
    return Evaluate(alphaXOf, alpha2, total, startQ, endQ);
  }

  // Three clusters ending at k0 (broadcast) and j (per lane).
  static inline V Batch3(const float* pk0, const float* pj, int stride, const float* total,
                         V* startQ, V* endQ) {
    auto alphaXOf = [&](int c) {
      return T::Mul(T::Add(T::Set(pk0[c]), T::Load(pj + c * stride)), T::Set(0.5f));
    };
    const V alpha2 = T::Add(T::Set(pk0[3] * 0.75f), T::Mul(T::Load(pj + 3 * stride), T::Set(0.25f)));
    return Evaluate(alphaXOf, alpha2, total, startQ, endQ);
  }

  static inline void Keep(V e, int valid, I ids, V& bestE, I& bestId) {
    const M better = T::And(T::Less(e, bestE), T::Valid(valid));
    bestE = T::Select(better, e, bestE);
    bestId = T::SelectI(better, ids, bestId);
  }

  static void Run(const TClusterInput& in, TClusterResult& out) {
    const int n = in.Count;
    float total[4], pk0[4];
    for (int c = 0; c < 4; ++c) total[c] = in.Prefix[c][n];
    V bestE = T::Set(kLargestFloat);
    I bestId = T::SetI(kNoSplit);
    if (!in.ThreeColor) {
      // All (j, l) pairs as one stream, row j after row j - 1; the splits with a given k0 are
      // the stream's tail from row k0 on, so lanes stay full across rows.
      alignas(32) float sj[4][kStreamSize], sl[4][kStreamSize];
      alignas(32) int sid[kStreamSize];
      int rowStart[17];
      int length = 0;
      for (int j = 0; j <= n; ++j) {
        rowStart[j] = length;
        const int count = n - j + 1;
        for (int c = 0; c < 4; ++c) {
          const float* prefix = in.Prefix[c];
          const float pj = prefix[j];
          float* dj = sj[c] + length;
          float* dl = sl[c] + length;
          // Whole groups of 8: the rows have room past their end, and the next row or the
          // padding overwrites what is copied beyond it.
          for (int t = 0; t < count; t += 8) {
            for (int u = 0; u < 8; ++u) dj[t + u] = pj, dl[t + u] = prefix[j + t + u];
          }
        }
        // k1 * 17 + k2 once k0 * 17 is taken off: 17 j + (l - j) with l = j + t
        for (int t = 0; t < count; t += 8) {
          for (int u = 0; u < 8; ++u) sid[length + t + u] = j * kSplitK1 + t + u;
        }
        length += count;
      }
      for (int i = length; i < length + 8; ++i) {
        for (int c = 0; c < 4; ++c) sj[c][i] = sl[c][i] = 0;
        sid[i] = kNoSplit;
      }
      for (int k0 = 0; k0 <= n; ++k0) {
        for (int c = 0; c < 4; ++c) pk0[c] = in.Prefix[c][k0];
        const int base = k0 * (kSplitK0 - kSplitK1);
        for (int i = rowStart[k0]; i < length; i += T::Lanes) {
          const V e = Batch4(pk0, &sj[0][i], &sl[0][i], kStreamSize, total, nullptr, nullptr);
          Keep(e, length - i, T::AddI(T::LoadI(&sid[i]), base), bestE, bestId);
        }
      }
    } else {
      const I iota = T::Iota(kSplitK1);
      for (int k0 = 0; k0 <= n; ++k0) {
        for (int c = 0; c < 4; ++c) pk0[c] = in.Prefix[c][k0];
        for (int j = k0; j <= n; j += T::Lanes) {
          const V e = Batch3(pk0, &in.Prefix[0][j], kClusterPrefixStride, total, nullptr, nullptr);
          Keep(e, n + 1 - j, T::AddI(iota, k0 * kSplitK0 + (j - k0) * kSplitK1), bestE, bestId);
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
    out.K0 = id / kSplitK0;
    out.K1 = (id % kSplitK0) / kSplitK1;
    out.K2 = id % kSplitK1;
    // The winner's endpoints, computed again by the same lanes.
    V startQ[3], endQ[3];
    for (int c = 0; c < 4; ++c) pk0[c] = in.Prefix[c][out.K0];
    float wj[4][T::Lanes], wl[4][T::Lanes];
    for (int c = 0; c < 4; ++c) {
      for (int l = 0; l < T::Lanes; ++l) {
        wj[c][l] = in.Prefix[c][out.K0 + out.K1];
        wl[c][l] = in.Prefix[c][out.K0 + out.K1 + out.K2];
      }
    }
    if (!in.ThreeColor) Batch4(pk0, wj[0], wl[0], T::Lanes, total, startQ, endQ);
    else Batch3(pk0, wj[0], T::Lanes, total, startQ, endQ);
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
