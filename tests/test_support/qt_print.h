// Readable failure messages for Qt values in GoogleTest.
#pragma once

#include <QColor>
#include <QPoint>
#include <QString>

#include <ostream>

inline void PrintTo(const QColor& color, std::ostream* os) {
  *os << "rgb(" << color.red() << ", " << color.green() << ", " << color.blue() << ")";
}

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

inline void PrintTo(const QPoint& point, std::ostream* os) { *os << "(" << point.x() << ", " << point.y() << ")"; }
