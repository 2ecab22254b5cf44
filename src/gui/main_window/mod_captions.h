// What each mod's package takes on disk, and the check box captions that name it.
#pragma once

#include <QChar>
#include <QString>

#include "gui/gui_settings.h"

namespace ashtint {

inline constexpr int DPTPackageMB = 50;
inline constexpr int CCTPackageMB = 16;
inline constexpr int MEMPackageMB = 12;
inline constexpr int CTMPackageMB = 13;
inline constexpr int SpaceBinPackageMB = 3584;

// 700 MB in full size; 170, 50 or 12 MB when the textures are reduced by 2, 4 or 8. A ratio the
// engine does not know reduces nothing, so it counts as full size.
int CamoPackageMB(bool downsizing, int ratio);

// A caption with a package size in megabytes: rows 10, 13, 14, 15 and 17.
QString SizeCaption(int row, int language, int megabytes);

// Row 16 with the space.bin package in gigabytes, one decimal.
QString SpaceBinCaption(int language, QChar localeSeparator);

// What the chosen mods take on disk together, in megabytes. The space.bin patch counts only
// with MEM or CTM, since the engine patches nothing without them.
int PlannedSizeMB(const RGuiSettings& settings);

// The run button: row 31 and the planned size, " (16 MB)" or " (3.6 GB)"; the row alone for 0.
QString RunCaption(int language, int megabytes, QChar localeSeparator);

}  // namespace ashtint
