#include "gui/replaced_file.h"

#include <QFile>

#include <system_error>

#include "common/sibling_file.h"

namespace ashtint {

namespace {

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

bool WriteFileReplacing(const QString& target, const QByteArray& data, QString* error) {
  const std::string temp = SiblingTempName(LocalPath(target));
  QFile file(QFile::decodeName(QByteArray::fromStdString(temp)));
  const auto fail = [error](const QString& reason) {
    if (error != nullptr) *error = reason;
    return false;
  };
  if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return fail(file.errorString());
  const bool written = file.write(data) == data.size() && file.flush();
  file.close();
  if (!written || file.error() != QFileDevice::NoError) {
    const QString reason = file.errorString();
    file.remove();
    return fail(reason);
  }
  std::error_code ec;
  if (!ReplaceFileWith(temp, LocalPath(target), ec)) return fail(QString::fromLocal8Bit(ec.message().c_str()));
  return true;
}

}  // namespace ashtint
