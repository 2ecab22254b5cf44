// Reading JSON as people write it by hand: object keys may go without quotes ({mods: {dpt: ...}}).
// Qt's own reader refuses such keys, so the text is read here; the tree is Qt's.
#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringView>

namespace ashtint {

// One parse. On success Tree holds the value and Error is false. On failure Tree is undefined
// and the other fields say where reading stopped: the offending character, or the end of the
// text when the text stops too early.
struct RSOResult {
  QJsonValue Tree{QJsonValue::Undefined};
  bool Error = false;
  int Line = -1;        // counted from 1
  int Column = -1;      // characters before the offending one on its line
  int Position = -1;    // counted from 1; one past the last character at the end of the text
  QString Character;    // the offending character, empty at the end of the text
};

// Reads one JSON value that fills the whole text (white space around it is allowed). Besides
// standard JSON it takes keys written as bare identifiers. Any text gives a value or an error;
// nesting deeper than MaxJsonDepth is an error, not a stack overflow.
RSOResult ParseJson(QStringView text);

inline constexpr int MaxJsonDepth = 512;

}  // namespace ashtint
