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
constexpr float kTwoThirds = 2.0f / 3.0f;
constexpr float kOneThird = 1.0f / 3.0f;
constexpr float kFourNinths = 4.0f / 9.0f;
constexpr float kOneNinth = 1.0f / 9.0f;
constexpr float kTwoNinths = 2.0f / 9.0f;
constexpr float kGrid[3] = {31.0f, 63.0f, 31.0f};

// T supplies: V (float lanes), I (int lanes), M (lane mask), Lanes, and the operations below.
// Max and Min follow the processor's rule: when a lane is not a number the second operand wins.
template <class T, bool Exact>
struct TSplitSearch {
  using V = typename T::V;
  using I = typename T::I;
  using M = typename T::M;

  // Error of the splits in the lanes, and optionally their endpoints on the grid.
  static inline V Evaluate(const V* alphaX, const V* betaX, V alpha2, V beta2, V alphaBeta,
                           V* startQ, V* endQ) {
    const V zero = T::Set(0.0f), one = T::Set(1.0f), two = T::Set(2.0f);
    const V magic = T::Set(kRoundMagic);
    const V d = T::Sub(T::Mul(alpha2, beta2), T::Mul(alphaBeta, alphaBeta));
    V factor = d;
    if constexpr (!Exact) factor = T::Rcp(d);
    V e[3];
    for (int c = 0; c < 3; ++c) {
      const V na = T::Sub(T::Mul(alphaX[c], beta2), T::Mul(betaX[c], alphaBeta));
      const V nb = T::Sub(T::Mul(betaX[c], alpha2), T::Mul(alphaX[c], alphaBeta));
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
      const V qa = T::Sub(T::Add(T::Mul(a, g), magic), magic);
      const V qb = T::Sub(T::Add(T::Mul(b, g), magic), magic);
      if (startQ) {
        startQ[c] = qa;
        endQ[c] = qb;
      }
      a = T::Div(qa, g);
      b = T::Div(qb, g);
      const V t1 = T::Add(T::Mul(T::Mul(a, a), alpha2), T::Mul(T::Mul(b, b), beta2));
      const V t2 = T::Sub(T::Sub(T::Mul(T::Mul(a, b), alphaBeta), T::Mul(a, alphaX[c])),
                          T::Mul(b, betaX[c]));
      e[c] = T::Add(t1, T::Mul(two, t2));
    }
    return T::Add(T::Add(e[0], e[1]), e[2]);
  }

  // Values fixed by the two outer cluster sizes of the four-cluster search.
  struct TOuter4 {
    float ABase[3], BBase[3], Rest[4], A2Base, B2Base, P1W;
    void Set(const TClusterInput& in, int k0, int k1) {
      float p0[4], p1[4];
      for (int c = 0; c < 4; ++c) p0[c] = in.Sum[c][0][k0], p1[c] = in.Sum[c][k0][k1];
      for (int c = 0; c < 3; ++c) {
        ABase[c] = p0[c] + p1[c] * kTwoThirds;
        BBase[c] = p1[c] * kOneThird;
      }
      for (int c = 0; c < 4; ++c) Rest[c] = (in.Total[c] - p0[c]) - p1[c];
      A2Base = p0[3] + p1[3] * kFourNinths;
      B2Base = p1[3] * kOneNinth;
      P1W = p1[3];
    }
  };

  static inline V Batch4(const TClusterInput& in, const TOuter4& o, int j, int k2, V* startQ,
                         V* endQ) {
    V p2[4], p3[4], alphaX[3], betaX[3];
    for (int c = 0; c < 4; ++c) {
      p2[c] = T::Load(&in.Sum[c][j][k2]);
      p3[c] = T::Sub(T::Set(o.Rest[c]), p2[c]);
    }
    for (int c = 0; c < 3; ++c) {
      alphaX[c] = T::Add(T::Set(o.ABase[c]), T::Mul(p2[c], T::Set(kOneThird)));
      betaX[c] = T::Add(T::Add(p3[c], T::Mul(p2[c], T::Set(kTwoThirds))), T::Set(o.BBase[c]));
    }
    const V alpha2 = T::Add(T::Set(o.A2Base), T::Mul(p2[3], T::Set(kOneNinth)));
    const V beta2 =
        T::Add(T::Add(p3[3], T::Mul(p2[3], T::Set(kFourNinths))), T::Set(o.B2Base));
    const V alphaBeta = T::Mul(T::Add(T::Set(o.P1W), p2[3]), T::Set(kTwoNinths));
    return Evaluate(alphaX, betaX, alpha2, beta2, alphaBeta, startQ, endQ);
  }

  struct TOuter3 {
    float P0[4], Rest[4];
    void Set(const TClusterInput& in, int k0) {
      for (int c = 0; c < 4; ++c) {
        P0[c] = in.Sum[c][0][k0];
        Rest[c] = in.Total[c] - P0[c];
      }
    }
  };

  static inline V Batch3(const TClusterInput& in, const TOuter3& o, int k0, int k1, V* startQ,
                         V* endQ) {
    const V half = T::Set(0.5f), quarter = T::Set(0.25f);
    V p1[4], p2[4], alphaX[3], betaX[3];
    for (int c = 0; c < 4; ++c) {
      p1[c] = T::Load(&in.Sum[c][k0][k1]);
      p2[c] = T::Sub(T::Set(o.Rest[c]), p1[c]);
    }
    for (int c = 0; c < 3; ++c) {
      alphaX[c] = T::Add(T::Set(o.P0[c]), T::Mul(p1[c], half));
      betaX[c] = T::Add(p2[c], T::Mul(p1[c], half));
    }
    const V alpha2 = T::Add(T::Set(o.P0[3]), T::Mul(p1[3], quarter));
    const V beta2 = T::Add(p2[3], T::Mul(p1[3], quarter));
    const V alphaBeta = T::Mul(p1[3], quarter);
    return Evaluate(alphaX, betaX, alpha2, beta2, alphaBeta, startQ, endQ);
  }

  static inline void Keep(V e, int valid, int id, const I& iota, V& bestE, I& bestId) {
    const M better = T::And(T::Less(e, bestE), T::Valid(valid));
    bestE = T::Select(better, e, bestE);
    bestId = T::SelectI(better, T::AddI(iota, id), bestId);
  }

  static void Run(const TClusterInput& in, TClusterResult& out) {
    const int n = in.Count;
    V bestE = T::Set(kLargestFloat);
    I bestId = T::SetI(kNoSplit);
    if (!in.ThreeColor) {
      const I iota = T::Iota(1);
      TOuter4 o;
      for (int k0 = 0; k0 <= n; ++k0) {
        for (int k1 = 0; k0 + k1 <= n; ++k1) {
          o.Set(in, k0, k1);
          const int j = k0 + k1;
          const int count = n - j + 1;
          for (int k2 = 0; k2 < count; k2 += T::Lanes) {
            const V e = Batch4(in, o, j, k2, nullptr, nullptr);
            Keep(e, count - k2, k0 * kSplitK0 + k1 * kSplitK1 + k2, iota, bestE, bestId);
          }
        }
      }
    } else {
      const I iota = T::Iota(kSplitK1);
      TOuter3 o;
      for (int k0 = 0; k0 <= n; ++k0) {
        o.Set(in, k0);
        const int count = n - k0 + 1;
        for (int k1 = 0; k1 < count; k1 += T::Lanes) {
          const V e = Batch3(in, o, k0, k1, nullptr, nullptr);
          Keep(e, count - k1, k0 * kSplitK0 + k1 * kSplitK1, iota, bestE, bestId);
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
    if (!in.ThreeColor) {
      TOuter4 o;
      o.Set(in, out.K0, out.K1);
      Batch4(in, o, out.K0 + out.K1, out.K2, startQ, endQ);
    } else {
      TOuter3 o;
      o.Set(in, out.K0);
      Batch3(in, o, out.K0, out.K1, startQ, endQ);
    }
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
  static M Less(V a, V b) { return a < b; }
  static M Valid(int count) { return count > 0; }
  static M And(M a, M b) { return a && b; }
  static V Select(M m, V a, V b) { return m ? a : b; }
  static I SelectI(M m, I a, I b) { return m ? a : b; }
  static I SetI(int v) { return v; }
  static I Iota(int) { return 0; }
  static I AddI(I a, int b) { return a + b; }
  static void Store(float* p, V v) { *p = v; }
  static void StoreI(int* p, I v) { *p = v; }
  static float First(V v) { return v; }
};

}  // namespace
}  // namespace ashtint
