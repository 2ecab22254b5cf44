#include "archive/seven_zip_in_archive.h"

#include <algorithm>
#include <exception>

#include "archive/seven_zip_com.h"
#include "archive/seven_zip_error.h"
#include "archive/seven_zip_plugin.h"
#include "archive/seven_zip_stream.h"
#include "archive/wide_text.h"
#include "platform/file_stream.h"

namespace ashtint {

using namespace szabi;

namespace {

// The handler looks for the archive's start this far into the file.
constexpr std::uint64_t kMaxCheckStartPosition = 1048576;

class TOpenCallback final : public TComObject<TOpenCallback, IArchiveOpenCallback> {
 public:
  static TComPtr<TOpenCallback> Create() { return TComPtr<TOpenCallback>::Share(new TOpenCallback); }

  HRESULT QueryInterface(const GUID& iid, void** out) noexcept override {
    if (!out) return kPointer;
    *out = nullptr;
    if (!(iid == IID_IUnknown || iid == IID_IArchiveOpenCallback)) return kNoInterface;
    *out = static_cast<IArchiveOpenCallback*>(this);
    AddRef();
    return kOk;
  }
  HRESULT SetTotal(const std::uint64_t*, const std::uint64_t*) noexcept override { return kOk; }
  HRESULT SetCompleted(const std::uint64_t*, const std::uint64_t*) noexcept override { return kOk; }

 private:
  friend TComObject;
  TOpenCallback() = default;
  ~TOpenCallback() = default;
};

// Serves one extraction: hands the destination to the library and keeps the item's result.
class TExtractCallback final : public TComObject<TExtractCallback, IArchiveExtractCallback> {
 public:
  static TComPtr<TExtractCallback> Create(TComPtr<T7zStream> destination) {
    return TComPtr<TExtractCallback>::Share(new TExtractCallback(std::move(destination)));
  }

  HRESULT QueryInterface(const GUID& iid, void** out) noexcept override {
    if (!out) return kPointer;
    *out = nullptr;
    if (!(iid == IID_IUnknown || iid == IID_IProgress || iid == IID_IArchiveExtractCallback)) return kNoInterface;
    *out = static_cast<IArchiveExtractCallback*>(this);
    AddRef();
    return kOk;
  }
  HRESULT SetTotal(std::uint64_t) noexcept override { return kOk; }
  HRESULT SetCompleted(const std::uint64_t*) noexcept override { return kOk; }

  HRESULT GetStream(std::uint32_t, ISequentialOutStream** out, std::int32_t askMode) noexcept override {
    if (!out) return kPointer;
    *out = nullptr;
    if (askMode != kAskExtract) return kOk;
    destination_->AddRef();  // the library releases what it is given
    *out = static_cast<IOutStream*>(destination_.Get());
    return kOk;
  }
  HRESULT PrepareOperation(std::int32_t) noexcept override { return kOk; }
  HRESULT SetOperationResult(std::int32_t opResult) noexcept override {
    result_ = opResult;
    resultReported_ = true;
    return kOk;
  }

  bool ResultReported() const { return resultReported_; }
  std::int32_t Result() const { return result_; }

 private:
  friend TComObject;
  explicit TExtractCallback(TComPtr<T7zStream> destination) : destination_(std::move(destination)) {}
  ~TExtractCallback() = default;

  TComPtr<T7zStream> destination_;
  std::int32_t result_ = kOpOK;
  bool resultReported_ = false;
};

std::string OperationResultText(std::int32_t result) {
  switch (result) {
    case kOpUnsupportedMethod: return "unsupported compression method";
    case kOpDataError: return "data error";
    case kOpCRCError: return "CRC error";
    case kOpUnavailable: return "data unavailable";
    case kOpUnexpectedEnd: return "unexpected end of data";
    case kOpDataAfterEnd: return "data after the end of the item";
    case kOpIsNotArc: return "not an archive";
    case kOpHeadersError: return "headers error";
    case kOpWrongPassword: return "wrong password (the item is encrypted)";
    default: return "error " + std::to_string(result);
  }
}

std::string ErrorFlagsText(std::uint32_t flags) {
  static const struct {
    std::uint32_t bit;
    const char* text;
  } kFlags[] = {
      {0x1, "not an archive"},           {0x2, "headers error"},        {0x4, "encrypted headers error"},
      {0x8, "start of the archive unavailable"}, {0x10, "unconfirmed start"}, {0x20, "unexpected end of the archive"},
      {0x40, "data after the end"},      {0x80, "unsupported method"},  {0x100, "unsupported feature"},
      {0x200, "data error"},             {0x400, "CRC error"},
  };
  std::string text;
  for (const auto& f : kFlags) {
    if (!(flags & f.bit)) continue;
    if (!text.empty()) text += ", ";
    text += f.text;
  }
  return text.empty() ? "error flags " + std::to_string(flags) : text;
}

class T7zInArchive final : public T7zArchive, public I7zInArchive {
 public:
  explicit T7zInArchive(const std::string& libraryPath) : T7zArchive(libraryPath) {}
  ~T7zInArchive() override { CloseNoThrow(); }

  void OpenFile(const std::string& fileName) override {
    auto file = std::make_unique<TFileStream>(fileName, TFileMode::fmOpenRead);
    OpenAdapter(T7zStream::Owning(std::move(file)), fileName);
  }

  void OpenStream(TStream& stream) override {
    stream.SetPosition(0);  // the handler takes the position it finds as the archive's start
    OpenAdapter(T7zStream::NonOwning(stream), std::string());
  }

  std::uint32_t ItemCount() override {
    RequireOpen();
    return itemCount_;
  }

  std::string ItemPath(std::uint32_t index) override {
    PROPVARIANT v = ItemProperty(index, kpidPath);
    std::string path;
    if (v.vt == VT_BSTR && v.bstrVal) path = WideToUtf8(v.bstrVal);
    ClearPropVariant(v);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }

  bool ItemIsFolder(std::uint32_t index) override {
    PROPVARIANT v = ItemProperty(index, kpidIsDir);
    const bool folder = v.vt == VT_BOOL && v.boolVal != kVariantFalse;
    ClearPropVariant(v);
    return folder;
  }

  std::uint64_t ItemSize(std::uint32_t index) override {
    PROPVARIANT v = ItemProperty(index, kpidSize);
    std::uint64_t size = 0;
    switch (v.vt) {
      case VT_UI8: size = v.uhVal; break;
      case VT_UI4: size = v.ulVal; break;
      case VT_UI2: size = v.uiVal; break;
      case VT_UI1: size = v.bVal; break;
      default: break;
    }
    ClearPropVariant(v);
    return size;
  }

  void ExtractItem(std::uint32_t index, TStream& stream, bool test) override {
    CheckIndex(index);
    // The package's own read errors and the destination's write errors say more than the bare
    // failure code the library passes on.
    std::exception_ptr streamError;
    if (!test) stream.Expect(ItemSize(index));
    auto destination = T7zStream::NonOwning(stream);
    destination->SetErrorSink(&streamError);
    stream_->SetErrorSink(&streamError);
    auto callback = TExtractCallback::Create(destination);
    const HRESULT hr = archive_->Extract(&index, 1, test ? 1 : 0, callback.Get());
    stream_->SetErrorSink(nullptr);
    if (streamError) std::rethrow_exception(streamError);
    Check(hr);
    if (callback->ResultReported() && callback->Result() != kOpOK)
      Raise("Cannot extract item " + ItemPath(index) + ": " + OperationResultText(callback->Result()));
    if (!callback->ResultReported()) Raise("Cannot extract item " + ItemPath(index) + ": no result reported");
  }

  void Close() override {
    if (!archive_) return;
    const HRESULT hr = archive_->Close();
    archive_.Reset();
    stream_.Reset();
    itemCount_ = 0;
    Check(hr);
  }

 private:
  void EnsureArchive() {
    if (!archive_) CreateObject(ClassId(), IID_IInArchive, archive_.PutVoid());
  }

  // Errors of the library name the package they concern.
  [[noreturn]] void Raise(const std::string& text, std::int32_t code = 0) const {
    throw E7zError(packageName_.empty() ? text : packageName_ + ": " + text, code);
  }
  void Check(HRESULT hr) const {
    if (hr != kOk) Raise(SysErrorMessage(hr), hr);
  }

  void OpenAdapter(TComPtr<T7zStream> stream, const std::string& packageName) {
    CloseNoThrow();
    packageName_ = packageName;
    EnsureArchive();
    std::exception_ptr streamError;
    stream->SetErrorSink(&streamError);
    auto callback = TOpenCallback::Create();
    const HRESULT hr = archive_->Open(stream.Get(), &kMaxCheckStartPosition, callback.Get());
    stream->SetErrorSink(nullptr);
    stream_ = std::move(stream);
    try {
      if (streamError) std::rethrow_exception(streamError);
      // The handler's "no" (S_FALSE) means the file is not of its kind, not a system error.
      if (hr == 1) Raise("not a zip archive", hr);
      Check(hr);
      // A damaged zip still opens: only the flags tell, and an archive cut short would list only
      // part of its items.
      PROPVARIANT flags = EmptyPropVariant();
      const HRESULT fr = archive_->GetArchiveProperty(kpidErrorFlags, &flags);
      const std::uint32_t errorFlags = (fr == kOk && flags.vt == VT_UI4) ? flags.ulVal : 0;
      ClearPropVariant(flags);
      if (errorFlags != 0) Raise("The archive is damaged: " + ErrorFlagsText(errorFlags));
      Check(archive_->GetNumberOfItems(&itemCount_));
    } catch (...) {
      CloseNoThrow();
      throw;
    }
  }

  void CloseNoThrow() noexcept {
    try {
      Close();
    } catch (...) {
    }
    archive_.Reset();
    stream_.Reset();
  }

  void RequireOpen() const {
    if (!stream_) throw E7zError("The archive is not open");
  }

  // The handler does not check indices itself (an index past the end crashes it).
  void CheckIndex(std::uint32_t index) const {
    RequireOpen();
    if (index >= itemCount_)
      throw ERangeError("Item index out of range (" + std::to_string(index) + ", items: " + std::to_string(itemCount_) + ")");
  }

  PROPVARIANT ItemProperty(std::uint32_t index, PROPID id) {
    CheckIndex(index);
    PROPVARIANT v = EmptyPropVariant();
    const HRESULT hr = archive_->GetProperty(index, id, &v);
    if (hr != kOk) {
      ClearPropVariant(v);
      Check(hr);
    }
    return v;
  }

  TComPtr<IInArchive> archive_;
  TComPtr<T7zStream> stream_;  // set while an archive is open
  std::uint32_t itemCount_ = 0;
  std::string packageName_;    // the file opened; empty for a stream
};

}  // namespace

I7zInArchivePtr CreateInArchive(const GUID& classId, const std::string& libraryPath) {
  auto archive = std::make_shared<T7zInArchive>(libraryPath);
  archive->SetClassId(classId);
  return archive;
}

}  // namespace ashtint
