// Names of the program's own files, which differ between Windows and other systems.
#pragma once

namespace ashtint {

#ifdef _WIN32
inline constexpr const char* SevenZipLibraryName = "7z.dll";
inline constexpr const char* EngineFileName = "AshtintCreator2.exe";
#else
inline constexpr const char* SevenZipLibraryName = "7z.so";
inline constexpr const char* EngineFileName = "AshtintCreator2";
#endif

}  // namespace ashtint
