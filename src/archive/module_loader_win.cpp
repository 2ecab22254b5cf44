#include <windows.h>

#include <string>
#include <vector>

#include "archive/module_loader.h"
#include "common/text.h"

namespace ashtint {

namespace {
std::wstring WidenAnsi(const std::string& s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string NarrowAnsi(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}
}  // namespace

TModuleHandle LoadModule(const std::string& path) {
  return reinterpret_cast<TModuleHandle>(::LoadLibraryW(WidenAnsi(path).c_str()));
}

void* ModuleSymbol(TModuleHandle module, const char* name) {
  return module ? reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name)) : nullptr;
}

void UnloadModule(TModuleHandle module) {
  if (module) ::FreeLibrary(static_cast<HMODULE>(module));
}

std::string ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return NarrowAnsi(std::wstring(buffer.data(), n));
    buffer.resize(buffer.size() * 2);
  }
}

const char* SevenZipLibraryFileName() { return "7z.dll"; }

std::string DefaultSevenZipLibraryPath() { return ExtractFilePath(ExecutablePath()) + SevenZipLibraryFileName(); }

}  // namespace ashtint
