#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <langinfo.h>
#include <mutex>
#include <vector>

#include "archive/module_loader.h"
#include "common/text.h"

namespace ashtint {

namespace {
// The library decides at load time whether zip names without the UTF-8 flag are decoded as UTF-8,
// from the character type locale. Under the default "C" locale such names would come back as one
// character per byte, so a UTF-8 character type is chosen once, before the first load.
void PrepareLocaleOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    const char* codeset = nl_langinfo(CODESET);
    if (codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0)) return;
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) std::setlocale(LC_CTYPE, "C.utf8");
  });
}
}  // namespace

TModuleHandle LoadModule(const std::string& path) {
  PrepareLocaleOnce();
  return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* ModuleSymbol(TModuleHandle module, const char* name) { return module ? ::dlsym(module, name) : nullptr; }

void UnloadModule(TModuleHandle module) {
  if (module) ::dlclose(module);
}

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}

const char* SevenZipLibraryFileName() { return "7z.so"; }

std::string DefaultSevenZipLibraryPath() {
  const std::string exe = ExecutablePath();
  if (!exe.empty()) {
    const std::string local = ExtractFilePath(exe) + SevenZipLibraryFileName();
    std::error_code ec;
    if (std::filesystem::is_regular_file(local, ec)) return local;
  }
  return "/usr/lib/p7zip/7z.so";
}

}  // namespace ashtint
