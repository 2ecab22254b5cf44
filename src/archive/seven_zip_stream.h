// T7zStream: one of our streams seen by the library as its input and output stream interfaces.
#pragma once

#include <exception>
#include <memory>

#include "archive/seven_zip_abi.h"
#include "archive/seven_zip_com.h"
#include "common/streams.h"

namespace ashtint {

class T7zStream final : public TComObject<T7zStream, szabi::IInStream, szabi::IStreamGetSize, szabi::IOutStream> {
 public:
  // The adapter owns the stream (closes a file when the library lets it go).
  static TComPtr<T7zStream> Owning(std::unique_ptr<TStream> stream);
  // The caller keeps the stream alive for as long as the library may use the adapter.
  static TComPtr<T7zStream> NonOwning(TStream& stream);
  // Shares a stream with other holders.
  static TComPtr<T7zStream> Shared(std::shared_ptr<TStream> stream);

  // Where the first exception raised by the wrapped stream is kept, so that the caller can raise
  // it instead of the bare failure code the library passes on. The sink must outlive the calls.
  void SetErrorSink(std::exception_ptr* sink) { errorSink_ = sink; }

  szabi::HRESULT QueryInterface(const szabi::GUID& iid, void** out) noexcept override;

  szabi::HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processed) noexcept override;
  szabi::HRESULT Write(const void* data, std::uint32_t size, std::uint32_t* processed) noexcept override;
  szabi::HRESULT Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) noexcept override;
  szabi::HRESULT SetSize(std::uint64_t newSize) noexcept override;
  szabi::HRESULT GetSize(std::uint64_t* size) noexcept override;

 private:
  friend TComObject;
  explicit T7zStream(std::shared_ptr<TStream> stream) : stream_(std::move(stream)) {}
  ~T7zStream() = default;
  szabi::HRESULT Fail() noexcept;

  std::shared_ptr<TStream> stream_;
  std::exception_ptr* errorSink_ = nullptr;
};

}  // namespace ashtint
