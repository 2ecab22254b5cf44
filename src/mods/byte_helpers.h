// In-place rewriting of binary game files: search a byte pattern, overwrite what was found,
// never change a length. Plus the small file helpers the package workers use.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "common/arrays.h"
#include "common/streams.h"

namespace ashtint {

// The whole file; empty when it does not exist (others may read and write it meanwhile).
TBytesArray FileToBytes(const std::string& fileName);
// The whole stream from position 0; empty for no stream.
TBytesArray StreamToBytes(TStream* stream);
std::string BytesToText(const TBytesArray& bytes);
// Creates the file's folders, writes the bytes beside the file and moves them over it, so a
// reader never sees half a file. False on any error (nothing is left behind then); failure,
// when given, gets the system's reason.
bool SaveBytes(const TBytesArray& bytes, const std::string& fileName, std::string* failure = nullptr);

// The non-empty texts, in order.
TStrArray MakeStrArray(std::initializer_list<std::string_view> texts);
// Each non-empty text, followed by its base64 decoding when that gives at least one byte.
TStrArray MakeSearchList(std::initializer_list<std::string_view> texts);
// Standard alphabet; a length that is not a multiple of 4 gives nothing; characters outside
// the alphabet (the padding "=" too) count as 64, so no text is refused.
TBytesArray Base64ToBytes(std::string_view text);
// Some entry, lower-cased, occurs in the lower-cased text (an empty text or list: false).
bool ContainsAny(const TStrArray& list, std::string_view text);

// Overwrites occurrences of pattern in bytes with replacement (zero-padded to the pattern's
// length when pad is set); only the first unless all is set. An occurrence ending in one of the
// last two bytes is not found. True when something was overwritten. A pattern shorter than
// 3 bytes, or a replacement that would run past the end, raises ERangeError.
bool ReplaceBytes(TBytesArray& bytes, std::string_view pattern, std::string_view replacement, bool pad, bool all);
bool ReplaceText(TBytesArray& bytes, std::string_view search, std::string_view replacement, bool pad, bool all);

// Rewrites length-prefixed strings that start with one of names (a property name followed by a
// texture path) into that name + newPath, zero-padded or cut to the string's length. The four
// filter lists test the path's file name and folder (in-lists: at least one must hit when any
// is given; ex-lists: none may hit). True when some string was overwritten. A match within the
// first four bytes, a length past the end or a name shorter than 2 characters raises ERangeError.
bool ReplaceTexturePaths(TBytesArray& bytes, const TStrArray& names, std::string_view newPath,
                         const TStrArray& inName, const TStrArray& exName, const TStrArray& inFolder,
                         const TStrArray& exFolder);

}  // namespace ashtint
