#include "mods/byte_helpers.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/exceptions.h"
#include "common/file_system.h"
#include "common/sibling_file.h"
#include "common/text.h"
#include "platform/file_stream.h"

namespace ashtint {

namespace fs = std::filesystem;

TBytesArray FileToBytes(const std::string& fileName) {
  if (!FileExists(fileName)) return {};
  TFileStream file(fileName, TFileMode::fmOpenRead);
  return StreamToBytes(&file);
}

TBytesArray StreamToBytes(TStream* stream) {
  TBytesArray bytes;
  if (stream == nullptr) return bytes;
  const std::int64_t size = stream->Size();
  stream->SetPosition(0);
  bytes.resize(static_cast<std::size_t>(size));
  if (size > 0) stream->ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

std::string BytesToText(const TBytesArray& bytes) { return std::string(bytes.begin(), bytes.end()); }

bool SaveBytes(const TBytesArray& bytes, const std::string& fileName, std::string* failure) {
  std::string temp;
  try {
    const std::string folder = ExtractFilePath(fileName);
    if (!folder.empty()) {
      std::error_code ec;
      fs::create_directories(fs::path(folder), ec);
      if (ec) {
        if (failure) *failure = "Cannot create folder \"" + folder + "\". " + ec.message();
        return false;
      }
    }
    temp = SiblingTempName(fileName);
    {
      TFileStream file(temp, TFileMode::fmCreate);
      if (!bytes.empty()) file.WriteBuffer(bytes.data(), bytes.size());
    }
    std::error_code ec;
    if (ReplaceFileWith(temp, fileName, ec)) return true;
    if (failure) *failure = "Cannot move \"" + temp + "\" to \"" + fileName + "\". " + ec.message();
    return false;
  } catch (const std::exception& e) {
    if (failure) *failure = e.what();
    if (!temp.empty()) {
      std::error_code ec;
      fs::remove(fs::path(temp), ec);
    }
    return false;
  } catch (...) {
    if (!temp.empty()) {
      std::error_code ec;
      fs::remove(fs::path(temp), ec);
    }
    return false;
  }
}

TStrArray MakeStrArray(std::initializer_list<std::string_view> texts) {
  TStrArray list;
  for (auto t : texts)
    if (!t.empty()) list.emplace_back(t);
  return list;
}

TStrArray MakeSearchList(std::initializer_list<std::string_view> texts) {
  TStrArray list;
  for (auto t : texts) {
    if (t.empty()) continue;
    list.emplace_back(t);
    const TBytesArray decoded = Base64ToBytes(t);
    if (!decoded.empty()) list.push_back(BytesToText(decoded));
  }
  return list;
}

TBytesArray Base64ToBytes(std::string_view text) {
  static constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  TBytesArray out;
  if (text.size() % 4 != 0) return out;
  out.reserve(text.size() / 4 * 3);
  auto value = [](char c) -> unsigned {
    const auto i = kAlphabet.find(c);
    return i == std::string_view::npos ? 64u : static_cast<unsigned>(i);
  };
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const unsigned a = value(text[i]), b = value(text[i + 1]), c = value(text[i + 2]), d = value(text[i + 3]);
    out.push_back(static_cast<std::uint8_t>((a * 4 + b / 16) % 256));
    out.push_back(static_cast<std::uint8_t>((b * 16 + c / 4) % 256));
    out.push_back(static_cast<std::uint8_t>((c * 64 + d) % 256));
  }
  return out;
}

bool ContainsAny(const TStrArray& list, std::string_view text) {
  if (text.empty() || list.empty()) return false;
  const std::string lower = LowerCase(text);
  return std::any_of(list.begin(), list.end(),
                     [&](const std::string& entry) { return lower.find(LowerCase(entry)) != std::string::npos; });
}

bool ReplaceBytes(TBytesArray& bytes, std::string_view pattern, std::string_view replacement, bool pad, bool all) {
  if (bytes.empty() || pattern.empty()) return false;
  if (pattern.size() < 3) throw ERangeError("Search pattern shorter than 3 bytes");
  std::string block(replacement);
  if (pad && block.size() < pattern.size()) block.resize(pattern.size(), '\0');

  const auto size = static_cast<std::int64_t>(bytes.size());
  const auto plen = static_cast<std::int64_t>(pattern.size());
  const char first = pattern.front();
  bool replaced = false;
  std::int64_t pos = 0;
  while (pos < size - plen - 1) {
    const auto* at = reinterpret_cast<const char*>(bytes.data()) + pos;
    if (*at == first && std::memcmp(at, pattern.data(), pattern.size()) == 0) {
      if (pos + static_cast<std::int64_t>(block.size()) > size)
        throw ERangeError("Replacement runs past the end of the data");
      std::memcpy(bytes.data() + pos, block.data(), block.size());
      replaced = true;
      if (!all) break;
      pos += std::max<std::int64_t>(static_cast<std::int64_t>(block.size()), 1);
    } else {
      ++pos;
    }
  }
  return replaced;
}

bool ReplaceText(TBytesArray& bytes, std::string_view search, std::string_view replacement, bool pad, bool all) {
  return ReplaceBytes(bytes, search, replacement, pad, all);
}

namespace {

// The length of the string at j. The byte at j - 4 is the low byte of the 32-bit value before
// the string (the end offset of the property's data, type bits on top). Paths of 256 bytes or
// more wrap that byte; then the whole value is taken when it is plausible (fits the data and
// covers only text), otherwise a rewrite would keep the start of the old path after the new one.
std::size_t StringLength(const TBytesArray& bytes, std::size_t j) {
  const std::size_t low = bytes[j - 4];
  const std::uint32_t value = static_cast<std::uint32_t>(bytes[j - 4]) | (static_cast<std::uint32_t>(bytes[j - 3]) << 8) |
                              (static_cast<std::uint32_t>(bytes[j - 2]) << 16) |
                              (static_cast<std::uint32_t>(bytes[j - 1]) << 24);
  const std::size_t full = value & 0x0FFFFFFFu;
  if (full > 0xFF && full <= bytes.size() - j &&
      std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(j), bytes.begin() + static_cast<std::ptrdiff_t>(j + full),
                  [](std::uint8_t b) { return b >= 0x20; }))
    return full;
  return low;
}

}  // namespace

bool ReplaceTexturePaths(TBytesArray& bytes, const TStrArray& names, std::string_view newPath,
                         const TStrArray& inName, const TStrArray& exName, const TStrArray& inFolder,
                         const TStrArray& exFolder) {
  if (bytes.empty() || names.empty() || newPath.empty()) return false;
  std::size_t maxLen = 0;
  for (const auto& n : names) {
    if (n.size() < 2) throw ERangeError("Property name shorter than 2 characters");
    maxLen = std::max(maxLen, n.size());
  }
  const bool hasIn = !inName.empty() || !inFolder.empty();
  const bool hasEx = !exName.empty() || !exFolder.empty();

  bool replaced = false;
  const auto size = static_cast<std::int64_t>(bytes.size());
  std::int64_t j = 0;
  while (j < size - static_cast<std::int64_t>(maxLen) - 1) {
    const auto pos = static_cast<std::size_t>(j);
    const std::string* name = nullptr;
    for (const auto& n : names) {
      if (std::memcmp(bytes.data() + pos, n.data(), n.size()) == 0) {
        name = &n;
        break;
      }
    }
    if (name == nullptr) {
      ++j;
      continue;
    }
    if (pos < 4) throw ERangeError("Texture reference at the start of the data");
    const std::size_t len = StringLength(bytes, pos);
    if (len > bytes.size() - pos) throw ERangeError("Texture reference runs past the end of the data");

    std::string tail(reinterpret_cast<const char*>(bytes.data()) + pos + std::min(name->size(), len),
                     len - std::min(name->size(), len));
    std::replace(tail.begin(), tail.end(), '/', '\\');
    const auto slash = tail.rfind('\\');
    const std::string fileName = slash == std::string::npos ? tail : tail.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? std::string() : tail.substr(0, slash + 1);

    bool take = true;
    if (hasIn) take = ContainsAny(inName, fileName) || ContainsAny(inFolder, folder);
    if (take && hasEx) take = !(ContainsAny(exName, fileName) || ContainsAny(exFolder, folder));
    if (!take) {
      ++j;
      continue;
    }
    std::string written = *name + std::string(newPath);
    written.resize(len, '\0');
    std::memcpy(bytes.data() + pos, written.data(), len);
    replaced = true;
    // An empty string would otherwise hold the scan at one place for ever.
    j += static_cast<std::int64_t>(std::max<std::size_t>(len, 1));
  }
  return replaced;
}

}  // namespace ashtint
