// Loading the archive library at run time and finding it next to the engine.
#pragma once

#include <string>

namespace ashtint {

using TModuleHandle = void*;

// The module at path, or nullptr when it cannot be loaded. Every load is counted by the system.
TModuleHandle LoadModule(const std::string& path);
void* ModuleSymbol(TModuleHandle module, const char* name);
// The system's text for the last failed LoadModule of this thread.
std::string LastModuleError();
void UnloadModule(TModuleHandle module);

// "7z.dll" on Windows, "7z.so" elsewhere.
const char* SevenZipLibraryFileName();

// The library the engine uses when no path is given: the file next to the running executable,
// else (outside Windows) the distribution's /usr/lib/p7zip/7z.so. On Windows the file next to the
// executable is returned even when it does not exist yet, as it is downloaded there.
std::string DefaultSevenZipLibraryPath();

// The distribution's copy (ASHTINT_SYSTEM_SEVENZIP in the environment, else the build setting);
// empty on Windows.
std::string DistributionSevenZipLibraryPath();

}  // namespace ashtint
