#include "archive/seven_zip_stream.h"

#include <new>

namespace ashtint {

using namespace szabi;

TComPtr<T7zStream> T7zStream::Owning(std::unique_ptr<TStream> stream) {
  return Shared(std::shared_ptr<TStream>(std::move(stream)));
}

TComPtr<T7zStream> T7zStream::NonOwning(TStream& stream) {
  return Shared(std::shared_ptr<TStream>(&stream, [](TStream*) {}));
}

TComPtr<T7zStream> T7zStream::Shared(std::shared_ptr<TStream> stream) {
  return TComPtr<T7zStream>::Share(new T7zStream(std::move(stream)));
}

HRESULT T7zStream::QueryInterface(const GUID& iid, void** out) noexcept {
  if (!out) return kPointer;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_ISequentialInStream || iid == IID_IInStream)
    *out = static_cast<IInStream*>(this);
  else if (iid == IID_ISequentialOutStream || iid == IID_IOutStream)
    *out = static_cast<IOutStream*>(this);
  else if (iid == IID_IStreamGetSize)
    *out = static_cast<IStreamGetSize*>(this);
  else
    return kNoInterface;
  AddRef();
  return kOk;
}

// Nothing may cross back into the library as an exception: keep it and answer a failure code.
HRESULT T7zStream::Fail() noexcept {
  if (errorSink_ && !*errorSink_) *errorSink_ = std::current_exception();
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  } catch (...) {
    return kFail;
  }
}

HRESULT T7zStream::Read(void* data, std::uint32_t size, std::uint32_t* processed) noexcept {
  if (processed) *processed = 0;
  try {
    const std::size_t n = size ? stream_->Read(data, size) : 0;
    if (processed) *processed = static_cast<std::uint32_t>(n);
    return kOk;
  } catch (...) {
    return Fail();
  }
}

HRESULT T7zStream::Write(const void* data, std::uint32_t size, std::uint32_t* processed) noexcept {
  if (processed) *processed = 0;
  try {
    if (size) stream_->WriteBuffer(data, size);
    if (processed) *processed = size;
    return kOk;
  } catch (...) {
    return Fail();
  }
}

HRESULT T7zStream::Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) noexcept {
  if (newPosition) *newPosition = 0;
  if (origin > 2) return static_cast<HRESULT>(0x80030001u);
  try {
    std::int64_t base = 0;
    if (origin == 1) base = stream_->Position();
    if (origin == 2) base = stream_->Size();
    if (base + offset < 0) return kNegativeSeek;
    const std::int64_t pos = stream_->Seek(base + offset, TSeekOrigin::soBeginning);
    if (newPosition) *newPosition = static_cast<std::uint64_t>(pos);
    return kOk;
  } catch (...) {
    return Fail();
  }
}

HRESULT T7zStream::SetSize(std::uint64_t newSize) noexcept {
  try {
    stream_->SetSize(static_cast<std::int64_t>(newSize));
    return kOk;
  } catch (...) {
    return Fail();
  }
}

HRESULT T7zStream::GetSize(std::uint64_t* size) noexcept {
  if (!size) return kPointer;
  try {
    *size = static_cast<std::uint64_t>(stream_->Size());
    return kOk;
  } catch (...) {
    return Fail();
  }
}

}  // namespace ashtint
