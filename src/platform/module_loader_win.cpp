#include <windows.h>

#include <fstream>
#include <string>

#include "platform/ansi_text_win.h"
#include "platform/module_loader.h"
#include "platform/sys_error_message.h"

#include "common/file_names.h"
#include "common/text.h"
#include "platform/executable_path.h"

namespace ashtint {

TModuleHandle LoadModule(const std::string& path) {
  return reinterpret_cast<TModuleHandle>(::LoadLibraryW(WidenAnsi(path).c_str()));
}

void* ModuleSymbol(TModuleHandle module, const char* name) {
  return module ? reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name)) : nullptr;
}

// The loader itself refuses a file that is cut short; only the header is looked at here.
std::string ModuleFileProblem(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char head[2] = {};
  if (!file.read(head, 2) || head[0] != 'M' || head[1] != 'Z') return "it is not a Windows library (no PE header)";
  return {};
}

std::string LastModuleError() { return SysErrorMessage(static_cast<std::int32_t>(::GetLastError())); }

void UnloadModule(TModuleHandle module) {
  if (module) ::FreeLibrary(static_cast<HMODULE>(module));
}

const char* SevenZipLibraryFileName() { return SevenZipLibraryName; }

std::string DefaultSevenZipLibraryPath() { return ExecutableFolder() + SevenZipLibraryFileName(); }

// Windows has no distribution copy: the library always lives next to the engine.
std::string DistributionSevenZipLibraryPath() { return {}; }

}  // namespace ashtint
