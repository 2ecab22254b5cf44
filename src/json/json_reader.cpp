#include "json/json_reader.h"

#include <QJsonArray>
#include <QJsonObject>

#include <limits>

namespace ashtint {

namespace {

struct ParseFailure {
  qsizetype at;  // index of the offending character, or the text's length at its end
};

class TReader {
 public:
  explicit TReader(QStringView text) : s_(text) {}

  QJsonValue Document() {
    SkipSpace();
    QJsonValue v = Value(0);
    SkipSpace();
    if (i_ < s_.size()) throw ParseFailure{i_};
    return v;
  }

 private:
  bool AtEnd() const { return i_ >= s_.size(); }
  char16_t Peek() const { return AtEnd() ? u'\0' : s_[i_].unicode(); }
  [[noreturn]] void Fail() const { throw ParseFailure{i_}; }

  void Expect(char16_t c) {
    if (AtEnd() || Peek() != c) Fail();
    ++i_;
  }

  void SkipSpace() {
    while (!AtEnd()) {
      const char16_t c = Peek();
      if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return;
      ++i_;
    }
  }

  QJsonValue Value(int depth) {
    if (AtEnd()) Fail();
    switch (Peek()) {
      case u'{': return Object(depth + 1);
      case u'[': return Array(depth + 1);
      case u'"': return String();
      case u't': Word(u"true"); return true;
      case u'f': Word(u"false"); return false;
      case u'n': Word(u"null"); return QJsonValue(QJsonValue::Null);
      default: return Number();
    }
  }

  void Word(std::u16string_view word) {
    for (char16_t c : word) Expect(c);
  }

  QJsonValue Object(int depth) {
    if (depth > MaxJsonDepth) Fail();
    ++i_;  // '{'
    QJsonObject object;
    SkipSpace();
    if (Peek() == u'}') {
      ++i_;
      return object;
    }
    for (;;) {
      SkipSpace();
      const QString key = Peek() == u'"' ? String() : BareKey();
      SkipSpace();
      Expect(u':');
      SkipSpace();
      object.insert(key, Value(depth));  // a repeated key keeps its last value
      SkipSpace();
      if (Peek() == u',') {
        ++i_;
        continue;
      }
      Expect(u'}');
      return object;
    }
  }

  QJsonValue Array(int depth) {
    if (depth > MaxJsonDepth) Fail();
    ++i_;  // '['
    QJsonArray array;
    SkipSpace();
    if (Peek() == u']') {
      ++i_;
      return array;
    }
    for (;;) {
      SkipSpace();
      array.append(Value(depth));
      SkipSpace();
      if (Peek() == u',') {
        ++i_;
        continue;
      }
      Expect(u']');
      return array;
    }
  }

  static bool KeyStart(QChar c) { return c.isLetter() || c == u'_' || c == u'$'; }

  QString BareKey() {
    if (AtEnd() || !KeyStart(s_[i_])) Fail();
    const qsizetype start = i_;
    while (!AtEnd() && (KeyStart(s_[i_]) || s_[i_].isNumber())) ++i_;
    return s_.mid(start, i_ - start).toString();
  }

  static int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
  }

  QString String() {
    ++i_;  // opening quote
    QString out;
    for (;;) {
      if (AtEnd()) Fail();
      const char16_t c = Peek();
      if (c == u'"') {
        ++i_;
        return out;
      }
      if (c < 0x20) Fail();  // a raw line break means the closing quote is missing
      if (c != u'\\') {
        out.append(QChar(c));
        ++i_;
        continue;
      }
      ++i_;
      if (AtEnd()) Fail();
      switch (Peek()) {
        case u'"': out.append(u'"'); break;
        case u'\\': out.append(u'\\'); break;
        case u'/': out.append(u'/'); break;
        case u'b': out.append(u'\b'); break;
        case u'f': out.append(u'\f'); break;
        case u'n': out.append(u'\n'); break;
        case u'r': out.append(u'\r'); break;
        case u't': out.append(u'\t'); break;
        case u'u': {
          char16_t unit = 0;
          for (int k = 0; k < 4; ++k) {
            ++i_;
            const int h = AtEnd() ? -1 : HexValue(Peek());
            if (h < 0) Fail();
            unit = static_cast<char16_t>(unit * 16 + h);
          }
          out.append(QChar(unit));  // surrogate halves come as two escapes and pair up here
          break;
        }
        default: Fail();
      }
      ++i_;
    }
  }

  static bool Digit(char16_t c) { return c >= u'0' && c <= u'9'; }

  QJsonValue Number() {
    const qsizetype start = i_;
    bool integral = true;
    if (Peek() == u'-') ++i_;
    if (!Digit(Peek())) Fail();
    if (Peek() == u'0') {
      ++i_;
    } else {
      while (Digit(Peek())) ++i_;
    }
    if (Peek() == u'.') {
      integral = false;
      ++i_;
      if (!Digit(Peek())) Fail();
      while (Digit(Peek())) ++i_;
    }
    if (Peek() == u'e' || Peek() == u'E') {
      integral = false;
      ++i_;
      if (Peek() == u'+' || Peek() == u'-') ++i_;
      if (!Digit(Peek())) Fail();
      while (Digit(Peek())) ++i_;
    }
    const QStringView digits = s_.mid(start, i_ - start);
    if (integral) {
      bool ok = false;
      const qlonglong n = digits.toLongLong(&ok);
      if (ok) return QJsonValue(static_cast<qint64>(n));
    }
    return QJsonValue(digits.toDouble());  // beyond 64 bits a number keeps its size, not its digits
  }

  QStringView s_;
  qsizetype i_ = 0;
};

}  // namespace

RSOResult ParseJson(QStringView text) {
  RSOResult result;
  try {
    result.Tree = TReader(text).Document();
    return result;
  } catch (const ParseFailure& failure) {
    result.Error = true;
    result.Tree = QJsonValue(QJsonValue::Undefined);
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype k = 0; k < failure.at; ++k) {
      if (text[k] == u'\n') {
        ++line;
        lineStart = k + 1;
      }
    }
    constexpr qsizetype intMax = std::numeric_limits<int>::max();
    result.Line = line;
    result.Column = static_cast<int>(std::min(failure.at - lineStart, intMax));
    result.Position = static_cast<int>(std::min(failure.at + 1, intMax));
    if (failure.at < text.size()) result.Character = text.mid(failure.at, 1).toString();
    return result;
  }
}

}  // namespace ashtint
