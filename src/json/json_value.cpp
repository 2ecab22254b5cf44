#include "json/json_value.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>
#include <limits>

namespace ashtint {

QJsonValue JsonAt(const QJsonValue& root, QStringView dottedPath) {
  QJsonValue node = root;
  if (dottedPath.isEmpty()) return node;
  for (QStringView step : dottedPath.split(u'.')) {
    if (!node.isObject()) return QJsonValue(QJsonValue::Undefined);
    node = node.toObject().value(step);  // Undefined when the member is missing
  }
  return node;
}

namespace {

qint64 TruncateToInt64(double d) {
  if (std::isnan(d)) return 0;
  // 2^63 is exact as a double; anything at or beyond it saturates.
  constexpr double limit = 9223372036854775808.0;
  if (d >= limit) return std::numeric_limits<qint64>::max();
  if (d <= -limit) return std::numeric_limits<qint64>::min();
  return static_cast<qint64>(std::trunc(d));
}

// Integers come back exactly; other numbers through double.
bool NumberOfText(const QString& text, qint64& out) {
  bool ok = false;
  const qlonglong n = text.toLongLong(&ok);  // Qt skips surrounding white space
  if (ok) {
    out = n;
    return true;
  }
  const double d = text.toDouble(&ok);
  if (ok) out = TruncateToInt64(d);
  return ok;
}

bool IsWholeInt64(const QJsonValue& v) {
  const double d = v.toDouble();
  return d == std::trunc(d) && std::abs(d) < 9007199254740992.0;  // exact in a double
}

}  // namespace

bool JsonAsBoolean(const QJsonValue& value) {
  switch (value.type()) {
    case QJsonValue::Bool: return value.toBool();
    case QJsonValue::Double: return value.toDouble() != 0.0;
    case QJsonValue::String: {
      const QString text = value.toString().trimmed();
      if (text.compare(u"true", Qt::CaseInsensitive) == 0) return true;
      qint64 n = 0;
      return NumberOfText(text, n) && n != 0;
    }
    default: return false;
  }
}

qint64 JsonAsInteger(const QJsonValue& value) {
  switch (value.type()) {
    case QJsonValue::Bool: return value.toBool() ? 1 : 0;
    case QJsonValue::Double: {
      // An integer read from the text keeps all 64 bits; toInteger gives 0 for other numbers.
      const qint64 exact = value.toInteger(std::numeric_limits<qint64>::min());
      if (exact != std::numeric_limits<qint64>::min()) return exact;
      return TruncateToInt64(value.toDouble());
    }
    case QJsonValue::String: {
      qint64 n = 0;
      return NumberOfText(value.toString(), n) ? n : 0;
    }
    default: return 0;
  }
}

QString JsonAsString(const QJsonValue& value) {
  switch (value.type()) {
    case QJsonValue::String: return value.toString();
    case QJsonValue::Bool: return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double:
      if (IsWholeInt64(value)) return QString::number(JsonAsInteger(value));
      return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QJsonValue::Object:
      return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    case QJsonValue::Array:
      return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    default: return {};
  }
}

QByteArray WriteJson(const QJsonValue& value) {
  if (value.isObject()) return QJsonDocument(value.toObject()).toJson(QJsonDocument::Indented);
  if (value.isArray()) return QJsonDocument(value.toArray()).toJson(QJsonDocument::Indented);
  // A document holds only objects and arrays: write a scalar as the one item of an array and
  // keep what stands between the brackets.
  QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
  return text.mid(1, text.size() - 2) + '\n';
}

}  // namespace ashtint
