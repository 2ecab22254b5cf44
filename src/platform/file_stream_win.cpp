#include <windows.h>

#include <string>

#include "common/exceptions.h"
#include "platform/ansi_text_win.h"
#include "platform/file_stream.h"

namespace ashtint {

namespace {
std::string LastErrorText() {
  char* text = nullptr;
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, GetLastError(), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string r = n ? std::string(text, n) : std::string();
  if (text) LocalFree(text);
  while (!r.empty() && (r.back() == '\r' || r.back() == '\n')) r.pop_back();
  return r;
}
}  // namespace

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : fileName_(fileName) {
  DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE, disposition = OPEN_EXISTING;
  if (mode == TFileMode::fmOpenReadWrite) access |= GENERIC_WRITE;
  if (mode == TFileMode::fmCreate) {
    access |= GENERIC_WRITE;
    share = FILE_SHARE_READ;
    disposition = CREATE_ALWAYS;
  }
  HANDLE h = CreateFileW(WidenAnsi(fileName).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const char* verb = mode == TFileMode::fmCreate ? "Cannot create file" : "Cannot open file";
    throw EInOutError(std::string(verb) + " \"" + fileName + "\". " + LastErrorText());
  }
  handle_ = h;
}

TFileStream::~TFileStream() {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  DWORD got = 0;
  const DWORD want = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
  if (!ReadFile(static_cast<HANDLE>(handle_), buffer, want, &got, nullptr))
    throw EInOutError("Cannot read file \"" + fileName_ + "\". " + LastErrorText());
  return got;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
  const auto* p = static_cast<const BYTE*>(buffer);
  std::size_t left = count;
  while (left > 0) {
    DWORD done = 0;
    const DWORD want = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    if (!WriteFile(static_cast<HANDLE>(handle_), p, want, &done, nullptr))
      throw EInOutError("Cannot write file \"" + fileName_ + "\". " + LastErrorText());
    p += done;
    left -= done;
  }
  return count;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  const DWORD method = origin == TSeekOrigin::soBeginning ? FILE_BEGIN : origin == TSeekOrigin::soCurrent ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(static_cast<HANDLE>(handle_), distance, &result, method))
    throw EInOutError("Cannot seek in file \"" + fileName_ + "\". " + LastErrorText());
  return result.QuadPart;
}

void TFileStream::SetSize(std::int64_t newSize) {
  const std::int64_t here = Position();
  Seek(newSize, TSeekOrigin::soBeginning);
  if (!SetEndOfFile(static_cast<HANDLE>(handle_)))
    throw EInOutError("Cannot set the size of file \"" + fileName_ + "\". " + LastErrorText());
  Seek(here < newSize ? here : newSize, TSeekOrigin::soBeginning);
}

std::int64_t TFileStream::Size() {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(static_cast<HANDLE>(handle_), &size))
    throw EInOutError("Cannot read the size of file \"" + fileName_ + "\". " + LastErrorText());
  return size.QuadPart;
}

}  // namespace ashtint
