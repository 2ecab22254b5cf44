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

// Our own objects handed to the library: AddRef and Release of every interface they implement,
// counted here. The library only calls Release on them; the object deletes itself when the count
// drops to zero. Derived declares `friend TComObject;` so that its destructor can stay private.
template <class Derived, class... Interfaces>
class TComObject : public Interfaces... {
 public:
  szabi::ULONG AddRef() noexcept override { return ++refs_; }
  szabi::ULONG Release() noexcept override {
    const szabi::ULONG left = --refs_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 protected:
  TComObject() = default;

 private:
  std::atomic<szabi::ULONG> refs_{0};
};

}  // namespace ashtint
