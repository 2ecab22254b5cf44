// Packing a mod's work folder into a .wotmod package: a zip with stored entries, split into
// numbered parts when the content would pass what the game can load from one package.
#pragma once

#include <cstdint>
#include <string>

#include "archive/seven_zip_out_archive.h"
#include "common/log_proc.h"
#include "mods/package_content.h"

namespace ashtint {

// The content limit of one package: 2047 MiB.
inline constexpr std::int64_t WotmodBatchSize = 2146435072;

// A writing archive holding every file below folder (subfolders first, so the root's meta.xml
// and properties.xml come last), stored without compression and spread over batches of
// batchSize. Nothing is written yet. Raises on any error.
// The files held in content (when given) come first, then the folder's.
I7zOutArchivePtr PrepareWotmod(const std::string& folder, const std::string& libraryPath,
                               std::int64_t batchSize = WotmodBatchSize, const TPackageContent* content = nullptr);

// Packs the whole tree of folder into file (its folder is created when missing). Content above
// batchSize goes into file_Part1.wotmod, file_Part2.wotmod..., each with a copy of the root's
// properties.xml and meta.xml, whose identifier gets the part suffix. Every package is written
// beside its final name and renamed into place when complete. False on any error; then no
// temporary file and no part of this call is left, and the reason goes to log and to failure
// (when given), with the system's own words for it ("No space left on device").
// The files of content (when given) are packed with the folder's, before them.
bool CreateWotmod(const std::string& file, const std::string& folder, const std::string& libraryPath,
                  const TLogProc& log, std::int64_t batchSize = WotmodBatchSize,
                  const TPackageContent* content = nullptr, std::string* failure = nullptr);

// The suffix inserted at the end of the first <id> element's text (before any blanks in front
// of "</id>"); the text unchanged when it has none.
std::string InsertBeforeId(const std::string& text, const std::string& suffix);

// The whole file as bytes. Raises EInOutError.
std::string ReadTextFile(const std::string& fileName);
// Creates or replaces the file with exactly these bytes, through a file beside it. An empty
// text is refused. Raises EInOutError.
void WriteTextFile(const std::string& fileName, const std::string& text);

}  // namespace ashtint
