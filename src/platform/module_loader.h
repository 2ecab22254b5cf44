// Loading the archive library at run time and finding it next to the engine.
#pragma once

#include <string>

namespace ashtint {

using TModuleHandle = void*;

// The module at path, or nullptr when it cannot be loaded. Every load is counted by the system.
TModuleHandle LoadModule(const std::string& path);
void* ModuleSymbol(TModuleHandle module, const char* name);
// Why the file at path cannot be a module of this platform: not one (no ELF or PE header), or cut
// short (parts its headers name lie past its end, which the loader would touch and crash on).
// Empty when nothing is wrong.
std::string ModuleFileProblem(const std::string& path);
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
