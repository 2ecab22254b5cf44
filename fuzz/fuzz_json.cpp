// The settings file's JSON reader: any text gives a value or an error with its place; a value
// written back by the writer reads back as the same value; the path lookup and the conversions
// take whatever the tree holds.
#include <QJsonArray>
#include <QJsonObject>

#include <cmath>

#include "fuzz_support.h"
#include "json/json_reader.h"
#include "json/json_value.h"

using namespace ashtint;

namespace {

// Numbers the text cannot carry exactly: beyond a double's range a number reads as infinity,
// which JSON writes as null; a double of 2^53 or more is written in integer form and reads back
// as the 64-bit integer of those digits, not as the double's own value.
bool HoldsInexactNumber(const QJsonValue& v) {
  if (v.isDouble()) return !std::isfinite(v.toDouble()) || std::fabs(v.toDouble()) >= 9007199254740992.0;
  if (v.isArray())
    for (const QJsonValue& item : v.toArray())
      if (HoldsInexactNumber(item)) return true;
  if (v.isObject())
    for (const QJsonValue& item : v.toObject())
      if (HoldsInexactNumber(item)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const RSOResult parsed = ParseJson(text);
  if (parsed.Error) {
    fuzz::Require(parsed.Tree.isUndefined(), "no tree after an error");
    fuzz::Require(parsed.Position >= 1 && parsed.Position <= text.size() + 1, "error position within the text");
    fuzz::Require(parsed.Line >= 1 && parsed.Column >= 0, "error line and column");
    return 0;
  }
  const QByteArray written = WriteJson(parsed.Tree);
  const RSOResult again = ParseJson(QString::fromUtf8(written));
  fuzz::Require(!again.Error, "the writer's text reads back");
  fuzz::Require(WriteJson(again.Tree) == written, "the writer's text is written again as it is");
  if (!HoldsInexactNumber(parsed.Tree))
    fuzz::Require(again.Tree == parsed.Tree, "the writer's text reads back as the same value");

  // The settings reader's lookups, with paths made of the tree's own keys.
  QJsonValue at = parsed.Tree;
  QString path;
  for (int depth = 0; depth < 8 && at.isObject() && !at.toObject().isEmpty(); ++depth) {
    const QString key = at.toObject().keys().constFirst();
    if (key.isEmpty() || key.contains(u'.')) break;  // no dotted path names these keys
    path += (path.isEmpty() ? QString() : QStringLiteral(".")) + key;
    at = at.toObject().value(key);
    fuzz::Require(JsonAt(parsed.Tree, path) == at, "path lookup finds the member");
  }
  (void)JsonAsBoolean(at);
  (void)JsonAsInteger(at);
  (void)JsonAsString(at);
  return 0;
}
