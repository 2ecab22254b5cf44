// Small text and path helpers for single-byte strings (UTF-8 on Linux, ANSI on Windows).
#pragma once

#include <string>
#include <string_view>

#include "common/arrays.h"

namespace ashtint {

#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif
inline constexpr const char* LineEnd = "\r\n";  // the engine's text files and console lines

std::string LowerCase(std::string_view s);  // ASCII letters only, like the game's names
std::string UpperCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive equality
bool StartsText(std::string_view prefix, std::string_view s);
bool EndsText(std::string_view suffix, std::string_view s);
std::string Trim(std::string_view s);  // spaces, tabs and line ends on both sides

// Appends the native separator when the path does not end with one (an empty path stays empty).
std::string IncludeTrailingPathDelimiter(std::string_view path);
bool IsPathDelimiter(char c);  // '/' everywhere, '\\' too on Windows
// Folder part of a file path including its last separator; empty when there is none.
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);
std::string ExtractFileExt(std::string_view path);  // with the dot, empty when none
// Lines split at CR LF, LF or CR; a final line break does not start another line.
TStrArray SplitLines(std::string_view text);
// Converts an item path from a game package ('\' separators) to a native relative path.
std::string ItemPathToNative(std::string_view itemPath);

}  // namespace ashtint
