#include "mods/package_content.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "common/exceptions.h"
#include "common/streams.h"
#include "common/text.h"
#include "mods/byte_helpers.h"

namespace ashtint {

namespace {

// A read-only view of bytes shared with the content, so packing copies nothing.
class TSharedBytesStream final : public TStream {
 public:
  explicit TSharedBytesStream(std::shared_ptr<const TBytesArray> bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t size = bytes_->size();
    if (position_ >= size) return 0;
    const std::size_t n = std::min(count, size - position_);
    std::copy_n(bytes_->data() + position_, n, static_cast<std::uint8_t*>(buffer));
    position_ += n;
    return n;
  }
  std::size_t Write(const void*, std::size_t) override { throw EInOutError("The package content is read-only"); }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    std::int64_t base = 0;
    if (origin == TSeekOrigin::soCurrent) base = std::int64_t(position_);
    if (origin == TSeekOrigin::soEnd) base = std::int64_t(bytes_->size());
    if (base + offset < 0) throw EInOutError("Seek before the start of the package content");
    position_ = std::size_t(base + offset);
    return std::int64_t(position_);
  }
  void SetSize(std::int64_t) override { throw EInOutError("The package content is read-only"); }
  std::int64_t Size() override { return std::int64_t(bytes_->size()); }

 private:
  std::shared_ptr<const TBytesArray> bytes_;
  std::size_t position_ = 0;
};

// Folder walk order: at the first component where two paths differ, a folder comes before a
// file, names otherwise in byte order.
bool WalkOrder(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (true) {
    const std::size_t ea = a.find('\\', i), eb = b.find('\\', i);
    const std::string_view ca = std::string_view(a).substr(i, ea == std::string::npos ? std::string::npos : ea - i);
    const std::string_view cb = std::string_view(b).substr(i, eb == std::string::npos ? std::string::npos : eb - i);
    if (ca != cb || ea == std::string::npos || eb == std::string::npos) {
      const bool folderA = ea != std::string::npos, folderB = eb != std::string::npos;
      if (folderA != folderB) return folderA;
      return ca < cb;
    }
    i = ea + 1;
  }
}

// Now, in 100 ns ticks since 1601-01-01 UTC, as the files' times would have been.
std::uint64_t NowFileTime() {
  using namespace std::chrono;
  const auto ticks = duration_cast<duration<std::int64_t, std::ratio<1, 10000000>>>(
      system_clock::now().time_since_epoch());
  return std::uint64_t(ticks.count()) + 116444736000000000ull;
}

}  // namespace

TPackageContent::TPackageContent(std::string root, std::uint64_t memoryLimit)
    : root_(std::move(root)), memoryLimit_(memoryLimit) {}

bool TPackageContent::Save(TBytesArray bytes, const std::string& fileName, std::string* failure) {
  if (fileName.size() <= root_.size() || fileName.compare(0, root_.size(), root_) != 0) {
    if (failure) *failure = "\"" + fileName + "\" lies outside the package folder";
    return false;
  }
  std::string path = fileName.substr(root_.size());
  for (char& c : path)
    if (IsPathDelimiter(c)) c = '\\';
  const auto old = items_.find(path);
  const std::uint64_t kept = memoryBytes_ - (old == items_.end() ? 0 : old->second->size());
  if (onDisk_.count(path) || kept + bytes.size() > memoryLimit_) {
    // Past the limit the file takes the way of the work folder; it is packed from there.
    if (!SaveBytes(bytes, fileName, failure)) return false;
    if (old != items_.end()) items_.erase(old);
    memoryBytes_ = kept;
    onDisk_.insert(path);
    return true;
  }
  memoryBytes_ = kept + bytes.size();
  items_[path] = std::make_shared<const TBytesArray>(std::move(bytes));
  return true;
}

void TPackageContent::AddTo(I7zOutArchive& archive) const {
  std::vector<const std::string*> order;
  order.reserve(items_.size());
  for (const auto& item : items_) order.push_back(&item.first);
  std::sort(order.begin(), order.end(), [](const std::string* a, const std::string* b) { return WalkOrder(*a, *b); });
  const std::uint64_t now = NowFileTime();
  for (const std::string* path : order) {
    archive.AddStream(std::make_shared<TSharedBytesStream>(items_.at(*path)), *path);
    ATBatchList& batches = archive.GetBatchList();
    T7zBatchItem& added = batches.back().Last();
    added.CreationTime = added.LastWriteTime = now;
  }
}

void TPackageContent::Clear() {
  items_.clear();
  onDisk_.clear();
  memoryBytes_ = 0;
}

}  // namespace ashtint
