#include <dlfcn.h>
#include <elf.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <langinfo.h>
#include <mutex>
#include <vector>

#include "platform/module_loader.h"
#include "common/build_config.h"
#include "common/file_names.h"
#include "common/text.h"
#include "platform/executable_path.h"

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

namespace {

template <typename Ehdr, typename Phdr>
std::string ElfProblem(const std::string& bytes) {
  if (bytes.size() < sizeof(Ehdr)) return "it is cut short (no whole ELF header)";
  Ehdr header;
  std::memcpy(&header, bytes.data(), sizeof header);
  const std::uint64_t table = header.e_phoff;
  const std::uint64_t count = header.e_phnum;
  if (header.e_phentsize != sizeof(Phdr) || table > bytes.size() || count * sizeof(Phdr) > bytes.size() - table)
    return "it is cut short (its program headers lie past its end)";
  for (std::uint64_t i = 0; i < count; ++i) {
    Phdr segment;
    std::memcpy(&segment, bytes.data() + table + i * sizeof(Phdr), sizeof segment);
    const std::uint64_t offset = segment.p_offset, size = segment.p_filesz;
    if (segment.p_type == PT_LOAD && (offset > bytes.size() || size > bytes.size() - offset))
      return "it is cut short (a segment lies past its end)";
  }
  return {};
}

}  // namespace

std::string ModuleFileProblem(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "it cannot be read";
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() < EI_NIDENT || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0)
    return "it is not a shared library (no ELF header)";
  if (bytes[EI_CLASS] == ELFCLASS64) return ElfProblem<Elf64_Ehdr, Elf64_Phdr>(bytes);
  if (bytes[EI_CLASS] == ELFCLASS32) return ElfProblem<Elf32_Ehdr, Elf32_Phdr>(bytes);
  return "it is not a shared library of a known class";
}

std::string LastModuleError() {
  const char* text = ::dlerror();
  return text ? std::string(text) : std::string("unknown error");
}

void UnloadModule(TModuleHandle module) {
  if (module) ::dlclose(module);
}

const char* SevenZipLibraryFileName() { return SevenZipLibraryName; }

std::string DefaultSevenZipLibraryPath() {
  const std::string folder = ExecutableFolder();
  if (!folder.empty()) {
    const std::string local = folder + SevenZipLibraryFileName();
    std::error_code ec;
    if (std::filesystem::is_regular_file(local, ec)) return local;
  }
  return DistributionSevenZipLibraryPath();
}

std::string DistributionSevenZipLibraryPath() {
  // The environment may name another copy (a packager's layout, or a test without one).
  const char* env = std::getenv("ASHTINT_SYSTEM_SEVENZIP");
  return (env != nullptr && *env != '\0') ? std::string(env) : std::string(build::SystemSevenZipLibrary);
}

}  // namespace ashtint
