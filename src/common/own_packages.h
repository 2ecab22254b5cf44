// This program's packages: known by their name, found below a mods folder. The engine removes
// them before a new build; the front end finds them in the folders of older game versions.
#pragma once

#include <string>

#include "common/arrays.h"

namespace ashtint {

// Either package extension: a client may have moved from one publisher's to the other's.
bool IsOldWotmodName(const std::string& fileName);
// Folder + file of every package of this program below a mods folder, in listing order. Links
// are never followed: only what really sits in the folder is ours to delete.
TStrArray FindOldWotmods(const std::string& folder);

}  // namespace ashtint
