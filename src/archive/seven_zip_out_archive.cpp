#include "archive/seven_zip_out_archive.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <vector>

#include "archive/seven_zip_com.h"
#include "archive/seven_zip_error.h"
#include "archive/seven_zip_plugin.h"
#include "archive/seven_zip_stream.h"
#include "archive/wide_text.h"
#include "common/exceptions.h"
#include "common/sibling_file.h"
#include "common/text.h"
#include "platform/file_facts.h"
#include "platform/file_stream.h"

namespace ashtint {

using namespace szabi;

namespace {

// Files from disk are limited to sizes a signed 32-bit count can hold.
constexpr std::uint64_t kMaxFileSize = 0x7FFFFFFFull;

// An item's data as the library reads it, held to the size announced for the item: a source
// that ends early (a file cut meanwhile, a short stream) or goes on past it fails the write
// instead of giving a valid archive with a wrong entry.
class TAnnouncedSizeSource final : public TStream {
 public:
  TAnnouncedSizeSource(std::shared_ptr<TStream> source, const T7zBatchItem& item)
      : source_(std::move(source)), size_(item.Size), archivePath_(item.ArchivePath),
        sourceName_(item.Kind == T7zBatchItem::kFile ? "File \"" + item.SourceFile + "\"" : std::string("The stream")) {}

  std::size_t Read(void* buffer, std::size_t count) override {
    if (count == 0) return 0;
    const std::uint64_t left = size_ - std::min(position_, size_);
    if (left == 0) {
      char probe;
      if (source_->Read(&probe, 1) != 0) Refuse("holds more than the " + std::to_string(size_) + " bytes announced");
      return 0;
    }
    const std::size_t n = source_->Read(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(count, left)));
    if (n == 0)
      Refuse("ended after " + std::to_string(position_) + " of the " + std::to_string(size_) + " bytes announced");
    position_ += n;
    return n;
  }
  std::size_t Write(const void*, std::size_t) override { throw EInOutError("An item's source is read only"); }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    const std::int64_t at = source_->Seek(offset, origin);
    position_ = static_cast<std::uint64_t>(at);
    return at;
  }
  void SetSize(std::int64_t) override { throw EInOutError("An item's source is read only"); }
  std::int64_t Size() override { return static_cast<std::int64_t>(size_); }

 private:
  [[noreturn]] void Refuse(const std::string& what) const {
    throw EInOutError(sourceName_ + " for item " + archivePath_ + " " + what);
  }

  std::shared_ptr<TStream> source_;
  std::uint64_t size_;
  std::uint64_t position_ = 0;
  std::string archivePath_;
  std::string sourceName_;
};

// Serves the items of one batch to the library.
class TUpdateCallback final : public TComObject<TUpdateCallback, IArchiveUpdateCallback, ICryptoGetTextPassword2> {
 public:
  static TComPtr<TUpdateCallback> Create(const TBatchList& batch, std::exception_ptr* errorSink) {
    return TComPtr<TUpdateCallback>::Share(new TUpdateCallback(batch, errorSink));
  }

  HRESULT QueryInterface(const GUID& iid, void** out) noexcept override {
    if (!out) return kPointer;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IProgress || iid == IID_IArchiveUpdateCallback)
      *out = static_cast<IArchiveUpdateCallback*>(this);
    else if (iid == IID_ICryptoGetTextPassword2)
      *out = static_cast<ICryptoGetTextPassword2*>(this);
    else
      return kNoInterface;
    AddRef();
    return kOk;
  }

  HRESULT SetTotal(std::uint64_t) noexcept override { return kOk; }
  HRESULT SetCompleted(const std::uint64_t*) noexcept override { return kOk; }

  HRESULT GetUpdateItemInfo(std::uint32_t index, std::int32_t* newData, std::int32_t* newProps,
                            std::uint32_t* indexInArchive) noexcept override {
    if (index >= batch_.Count()) return kInvalidArg;
    if (newData) *newData = 1;
    if (newProps) *newProps = 1;
    if (indexInArchive) *indexInArchive = 0xFFFFFFFFu;
    return kOk;
  }

  HRESULT GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) noexcept override {
    if (!value) return kPointer;
    if (index >= batch_.Count()) return kInvalidArg;
    try {
      const T7zBatchItem& item = batch_[index];
      PROPVARIANT v = EmptyPropVariant();
      switch (propId) {
        case kpidPath: {
          const std::wstring path = Utf8ToWide(EntryName(item));
          if (!path.empty()) {
            v.vt = VT_BSTR;
            v.bstrVal = AllocLibString(path.data(), static_cast<std::uint32_t>(path.size()));
          }
          break;
        }
        case kpidIsDir: v.vt = VT_BOOL; v.boolVal = item.IsFolder ? kVariantTrue : kVariantFalse; break;
        case kpidSize: v.vt = VT_UI8; v.uhVal = item.Size; break;
        case kpidAttrib: v.vt = VT_UI4; v.ulVal = item.Attributes; break;
        case kpidCTime: SetFileTime(v, item.CreationTime); break;
        case kpidMTime: SetFileTime(v, item.LastWriteTime); break;
        case kpidIsAnti: v.vt = VT_BOOL; v.boolVal = item.IsAnti ? kVariantTrue : kVariantFalse; break;
        default: break;
      }
      ClearPropVariant(*value);
      *value = v;
      return kOk;
    } catch (...) {
      return Fail();
    }
  }

  HRESULT GetStream(std::uint32_t index, ISequentialInStream** in) noexcept override {
    if (!in) return kPointer;
    *in = nullptr;
    if (index >= batch_.Count()) return kInvalidArg;
    try {
      const T7zBatchItem& item = batch_[index];
      if (item.IsFolder) return kOk;
      std::shared_ptr<TStream> source;
      if (item.Kind == T7zBatchItem::kFile) {
        source = std::make_shared<TFileStream>(item.SourceFile, TFileMode::fmOpenRead);
      } else {
        if (!item.Stream) throw E7zError("Item " + item.ArchivePath + " has no data stream");
        item.Stream->SetPosition(0);
        source = item.Stream;
      }
      TComPtr<T7zStream> stream = T7zStream::Owning(std::make_unique<TAnnouncedSizeSource>(std::move(source), item));
      stream->SetErrorSink(errorSink_);
      *in = static_cast<IInStream*>(stream.Detach());
      return kOk;
    } catch (...) {
      return Fail();
    }
  }

  HRESULT SetOperationResult(std::int32_t) noexcept override { return kOk; }

  HRESULT CryptoGetTextPassword2(std::int32_t* passwordIsDefined, BSTR* password) noexcept override {
    if (passwordIsDefined) *passwordIsDefined = 0;
    if (password) *password = nullptr;
    return kOk;
  }

 private:
  friend TComObject;
  TUpdateCallback(const TBatchList& batch, std::exception_ptr* errorSink) : batch_(batch), errorSink_(errorSink) {}
  ~TUpdateCallback() = default;

  // Zip entries always use '/', never start with one, and only folders may end with one (the
  // library adds it itself).
  static std::string EntryName(const T7zBatchItem& item) {
    std::string name = item.ArchivePath;
    std::replace(name.begin(), name.end(), '\\', '/');
    const auto first = name.find_first_not_of('/');
    name.erase(0, first == std::string::npos ? name.size() : first);
    while (!name.empty() && name.back() == '/') name.pop_back();
    return name;
  }

  static void SetFileTime(PROPVARIANT& v, std::uint64_t time) {
    if (time == 0) return;
    v.vt = VT_FILETIME;
    v.filetime.dwLowDateTime = static_cast<std::uint32_t>(time);
    v.filetime.dwHighDateTime = static_cast<std::uint32_t>(time >> 32);
  }

  HRESULT Fail() noexcept {
    if (errorSink_ && !*errorSink_) *errorSink_ = std::current_exception();
    return kFail;
  }

  const TBatchList& batch_;
  std::exception_ptr* errorSink_;
};

// Owns the library strings of one SetProperties call.
class TPropertyBlock {
 public:
  explicit TPropertyBlock(const std::vector<std::pair<std::string, T7zPropValue>>& props) {
    names_.reserve(props.size());
    for (const auto& [name, value] : props) {
      names_.push_back(Utf8ToWide(name));
      PROPVARIANT v = EmptyPropVariant();
      if (const auto* n = std::get_if<std::uint32_t>(&value)) {
        v.vt = VT_UI4;
        v.ulVal = *n;
      } else if (const auto* b = std::get_if<bool>(&value)) {
        v.vt = VT_BOOL;
        v.boolVal = *b ? kVariantTrue : kVariantFalse;
      } else {
        const std::wstring text = Utf8ToWide(std::get<std::string>(value));
        v.vt = VT_BSTR;
        v.bstrVal = AllocLibString(text.data(), static_cast<std::uint32_t>(text.size()));
      }
      values_.push_back(v);
    }
    for (const auto& n : names_) namePtrs_.push_back(n.c_str());
  }
  TPropertyBlock(const TPropertyBlock&) = delete;
  TPropertyBlock& operator=(const TPropertyBlock&) = delete;
  // The library does not take the values over: they are freed here.
  ~TPropertyBlock() {
    for (auto& v : values_) ClearPropVariant(v);
  }

  const wchar_t* const* Names() const { return namePtrs_.data(); }
  const PROPVARIANT* Values() const { return values_.data(); }
  std::uint32_t Count() const { return static_cast<std::uint32_t>(values_.size()); }

 private:
  std::vector<std::wstring> names_;
  std::vector<const wchar_t*> namePtrs_;
  std::vector<PROPVARIANT> values_;
};

std::vector<std::string> SplitMasks(const std::string& masks) {
  std::vector<std::string> list;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = masks.find(';', start);
    std::string mask = Trim(masks.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (!mask.empty()) list.push_back(std::move(mask));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return list;
}

// Names of the folder's entries of one kind, sorted so that archives come out the same on
// every file system.
std::vector<std::string> ListFolder(const std::string& folder, bool folders) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), ec), end;
  if (ec) throw EInOutError("Cannot list folder \"" + folder + "\". " + ec.message());
  for (; it != end; it.increment(ec)) {
    if (ec) throw EInOutError("Cannot list folder \"" + folder + "\". " + ec.message());
    std::error_code e2;
    // Linked folders are not followed, so a link cannot make the walk go round in circles.
    const bool isLink = it->is_symlink(e2);
    const bool isFolder = it->is_directory(e2);
    const bool isFile = it->is_regular_file(e2);
    if (folders ? (isFolder && !isLink) : isFile) names.push_back(it->path().filename().string());
  }
  if (ec) throw EInOutError("Cannot list folder \"" + folder + "\". " + ec.message());
  std::sort(names.begin(), names.end());
  return names;
}

class T7zOutArchive final : public T7zArchive, public I7zOutArchive {
 public:
  explicit T7zOutArchive(const std::string& libraryPath) : T7zArchive(libraryPath), batches_(1) {}

  void SetProperty(const std::string& name, const T7zPropValue& value) override {
    auto it = std::find_if(props_.begin(), props_.end(), [&](const auto& p) { return SameText(p.first, name); });
    if (it != props_.end())
      it->second = value;
    else
      props_.emplace_back(name, value);
    ApplyProperties();  // early, so that a refused option is reported where it is set
  }

  void SetBatchSize(std::int64_t size) override { batchSize_ = size; }

  void AddFiles(const std::string& folder, const std::string& prefix, const std::string& masks, bool recurse) override {
    const std::string root = IncludeTrailingPathDelimiter(folder);
    std::error_code ec;
    if (root.empty() || !std::filesystem::is_directory(root, ec))
      throw EInOutError("Folder \"" + folder + "\" does not exist");
    std::string archivePrefix = prefix;
    std::replace(archivePrefix.begin(), archivePrefix.end(), '/', '\\');
    while (!archivePrefix.empty() && archivePrefix.back() == '\\') archivePrefix.pop_back();

    std::vector<T7zBatchItem> found;
    Walk(root, root, archivePrefix, SplitMasks(masks), recurse, found);
    for (auto& item : found) Place(std::move(item));
  }

  void AddStream(std::shared_ptr<TStream> stream, const std::string& archivePath) override {
    if (!stream) throw E7zError("No stream given for item " + archivePath);
    T7zBatchItem item;
    item.Kind = T7zBatchItem::kStream;
    item.Size = static_cast<std::uint64_t>(stream->Size());
    item.Stream = std::move(stream);
    item.OwnsStream = true;
    item.ArchivePath = archivePath;
    item.Attributes = DefaultFileAttributes();
    Place(std::move(item));
  }

  ATBatchList& GetBatchList() override { return batches_; }

  void SetBatchIndex(std::int32_t index) override { batchIndex_ = index; }

  void SaveToFile(const std::string& fileName) override {
    if (batches_.size() < 2) {
      WriteArchiveFile(fileName, 0);
      return;
    }
    const std::string ext = ExtractFileExt(fileName);
    const std::string stem = fileName.substr(0, fileName.size() - ext.size());
    for (std::size_t i = 0; i < batches_.size(); ++i) {
      char suffix[32];
      std::snprintf(suffix, sizeof suffix, batchNameFormat_, static_cast<int>(i + 1));
      WriteArchiveFile(stem + suffix + ext, static_cast<std::int32_t>(i));
    }
  }

  void SaveToStream(TStream& stream, std::int32_t batchIndex) override {
    if (batchIndex < 0 || static_cast<std::size_t>(batchIndex) >= batches_.size())
      throw ERangeError("Batch index out of range (" + std::to_string(batchIndex) + ", batches: " +
                        std::to_string(batches_.size()) + ")");
    // The callback always serves the batch being written, whatever index was set before.
    batchIndex_ = batchIndex;
    EnsureArchive();
    ApplyProperties();
    std::exception_ptr callbackError;
    auto out = T7zStream::NonOwning(stream);
    out->SetErrorSink(&callbackError);
    const TBatchList& batch = batches_[static_cast<std::size_t>(batchIndex)];
    auto callback = TUpdateCallback::Create(batch, &callbackError);
    const HRESULT hr =
        archive_->UpdateItems(static_cast<IOutStream*>(out.Get()), static_cast<std::uint32_t>(batch.Count()), callback.Get());
    if (callbackError) std::rethrow_exception(callbackError);
    Check7z(hr);
  }

 private:
  static std::uint32_t DefaultFileAttributes() {
#ifdef _WIN32
    return 0x20;  // archive
#else
    return 0x8000u | (0100644u << 16);
#endif
  }

  void EnsureArchive() {
    if (!archive_) CreateObject(ClassId(), IID_IOutArchive, archive_.PutVoid());
  }

  // Every SetProperties call starts from the defaults again, so all options go in one call.
  void ApplyProperties() {
    EnsureArchive();
    if (props_.empty()) return;
    TComPtr<ISetProperties> setter;
    Check7z(archive_->QueryInterface(IID_ISetProperties, setter.PutVoid()));
    TPropertyBlock block(props_);
    Check7z(setter->SetProperties(block.Names(), block.Values(), block.Count()));
  }

  void Place(T7zBatchItem item) {
    if (batchSize_ > 0 &&
        batches_.back().TotalSize() + item.Size >= static_cast<std::uint64_t>(batchSize_))
      batches_.emplace_back();
    batches_.back().Add(std::move(item));
  }

  void Walk(const std::string& root, const std::string& folder, const std::string& prefix,
            const std::vector<std::string>& masks, bool recurse, std::vector<T7zBatchItem>& found) {
    if (recurse) {
      for (const auto& name : ListFolder(folder, true))
        if (!name.empty() && name[0] != '.') Walk(root, folder + name + PathDelim, prefix, masks, recurse, found);
    }
    const std::vector<std::string> files = ListFolder(folder, false);
    for (const auto& mask : masks) {
      for (const auto& name : files) {
        if (!MatchesMask(name, mask)) continue;
        const std::string full = folder + name;
        const TFileFacts facts = ReadFileFacts(full);
        if (facts.Size > kMaxFileSize)
          throw ERangeError("File \"" + full + "\" is too large to be stored (" + std::to_string(facts.Size) +
                            " bytes, the limit is " + std::to_string(kMaxFileSize) + ")");
        std::string relative = full.substr(root.size());
        std::replace(relative.begin(), relative.end(), PathDelim, '\\');
        T7zBatchItem item;
        item.Kind = T7zBatchItem::kFile;
        item.SourceFile = full;
        item.ArchivePath = prefix.empty() ? relative : prefix + '\\' + relative;
        item.CreationTime = facts.CreationTime;
        item.LastWriteTime = facts.LastWriteTime;
        item.Attributes = facts.Attributes;
        item.Size = facts.Size;
        item.OwnsStream = true;
        found.push_back(std::move(item));
      }
    }
  }

  // Written beside the final name and renamed into place when complete: a crash never leaves a
  // half-written archive under the name, and a failed save keeps the archive that was there.
  void WriteArchiveFile(const std::string& fileName, std::int32_t batchIndex) {
    const std::string temp = SiblingTempName(fileName);
    try {
      TFileStream file(temp, TFileMode::fmCreate);
      SaveToStream(file, batchIndex);
    } catch (...) {
      std::error_code ec;
      std::filesystem::remove(temp, ec);
      throw;
    }
    std::error_code ec;
    if (!ReplaceFileWith(temp, fileName, ec))
      throw EInOutError("Cannot move \"" + temp + "\" to \"" + fileName + "\". " + ec.message());
  }

  TComPtr<IOutArchive> archive_;
  ATBatchList batches_;
  std::int32_t batchIndex_ = 0;
  std::int64_t batchSize_ = 0;
  const char* batchNameFormat_ = "_Part%.2d";
  std::vector<std::pair<std::string, T7zPropValue>> props_;
};

}  // namespace

I7zOutArchivePtr CreateOutArchive(const GUID& classId, const std::string& libraryPath) {
  auto archive = std::make_shared<T7zOutArchive>(libraryPath);
  archive->SetClassId(classId);
  return archive;
}

void SetCompressionMethod(I7zOutArchive& archive, int methodIndex) {
  static const char* const kMethods[] = {"COPY", "DEFLATE", "DEFLATE64", "BZIP2"};
  if (methodIndex < 0 || methodIndex >= 4)
    throw ERangeError("Compression method index out of range (" + std::to_string(methodIndex) + ")");
  archive.SetProperty("M", std::string(kMethods[methodIndex]));
}

}  // namespace ashtint
