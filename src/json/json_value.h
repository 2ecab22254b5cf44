// Finding a value in a JSON tree by its dotted path and reading it as the type the caller needs,
// whatever type the file gave it.
#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringView>

namespace ashtint {

// The value at "a.b.c": each step names a member of an object. Undefined when a step is missing
// or the value before it is not an object. The empty path is the root itself.
QJsonValue JsonAt(const QJsonValue& root, QStringView dottedPath);

// Conversions by what a value means rather than by its type:
// boolean: true, a non-zero number, or a string "true" (any case) or holding a non-zero number;
// integer: a number cut towards zero and kept within 64 bits, a boolean as 1 or 0, a string
//          holding a number, 0 otherwise;
// string: a string as it is, "true"/"false", a number in its shortest exact decimal form, an
//         object or array as compact JSON, the empty text for null and missing values.
bool JsonAsBoolean(const QJsonValue& value);
qint64 JsonAsInteger(const QJsonValue& value);
QString JsonAsString(const QJsonValue& value);

// The value as indented UTF-8 JSON text: one member per line, keys in double quotes, strings
// escaped. Qt's own writer does the work; it orders members by key.
QByteArray WriteJson(const QJsonValue& value);

}  // namespace ashtint
