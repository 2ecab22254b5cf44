// Files the front end keeps (its settings, its build record) are written beside themselves and
// renamed over the old file, so a crash or a full disk at any point leaves the old file whole.
#pragma once

#include <QByteArray>
#include <QString>

namespace ashtint {

// Writes data beside target and renames it over target; on failure nothing is left behind and
// error (when given) holds the system's reason.
bool WriteFileReplacing(const QString& target, const QByteArray& data, QString* error = nullptr);

}  // namespace ashtint
