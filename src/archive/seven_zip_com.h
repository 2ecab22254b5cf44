// Holding the library's reference-counted objects: one Release for every reference we own.
#pragma once

#include <atomic>
#include <utility>

#include "archive/seven_zip_abi.h"

namespace ashtint {

template <class T>
class TComPtr {
 public:
  TComPtr() = default;
  // Takes over a reference the caller already owns (as handed out by CreateObject or QI).
  static TComPtr Attach(T* p) {
    TComPtr r;
    r.p_ = p;
    return r;
  }
  // Adds a reference of its own.
  static TComPtr Share(T* p) {
    if (p) p->AddRef();
    return Attach(p);
  }
  TComPtr(const TComPtr& o) : p_(o.p_) {
    if (p_) p_->AddRef();
  }
  TComPtr(TComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  TComPtr& operator=(TComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~TComPtr() { Reset(); }

  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // The address an out parameter of the library writes a new reference into; releases the old one.
  void** PutVoid() {
    Reset();
    return reinterpret_cast<void**>(&p_);
  }
  T** Put() {
    Reset();
    return &p_;
  }
  // Hands our reference to a caller (an out parameter the library will release).
  T* Detach() { return std::exchange(p_, nullptr); }

 private:
  T* p_ = nullptr;
};

// The reference count of our own objects handed to the library. The library only calls Release on
// them; the concrete (final) class deletes itself when the count drops to zero.
class TRefCounted {
 protected:
  szabi::ULONG AddRefImpl() noexcept { return ++refs_; }
  szabi::ULONG ReleaseImpl() noexcept { return --refs_; }

 private:
  std::atomic<szabi::ULONG> refs_{0};
};

}  // namespace ashtint
