// Qt values as readable text in test failure messages.
// Every test file of an executable includes this, so that all print Qt values alike.
#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QColor& color, std::ostream* os) {
  *os << "rgb(" << color.red() << ", " << color.green() << ", " << color.blue() << ")";
}
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << '{';
  for (const QString& s : l) *os << '"' << s.toStdString() << "\" ";
  *os << '}';
}
inline void PrintTo(const QPoint& point, std::ostream* os) { *os << "(" << point.x() << ", " << point.y() << ")"; }
