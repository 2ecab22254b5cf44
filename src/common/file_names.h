// Names of the program's own files, which differ between Windows and other systems.
#pragma once

namespace ashtint {

#ifdef _WIN32
inline constexpr const char* SevenZipLibraryName = "7z.dll";
#else
inline constexpr const char* SevenZipLibraryName = "7z.so";
#endif

}  // namespace ashtint
