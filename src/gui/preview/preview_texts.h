// The previews' own words in both interface languages.
#pragma once

#include <QString>

#include "gui/preview/sample_reader.h"

namespace ashtint {

enum TPreviewText {
  ptNoClient, ptReading, ptNotFound, ptUnreadable, ptTitle, ptBefore, ptAfter, ptCompressed,
  ptOneColor, ptTileHint, ptTextCount
};

QString PreviewText(int language, TPreviewText row);
// The word a tile shows for a sample that is not there (empty for a found one).
QString SampleWord(int language, TSampleState state);

}  // namespace ashtint
