// The front end's texts in Russian and English: one table of pairs, indexed by row number and
// language, and the rules that turn a row into what a control shows.
#pragma once

#include <QChar>
#include <QString>

#include <array>

namespace ashtint {

inline constexpr int LanguageRussian = 0;  // the default
inline constexpr int LanguageEnglish = 1;

// Any value other than English means Russian, so a stray number in a settings file still gives
// a readable window.
inline int KnownLanguage(int language) { return language == LanguageEnglish ? LanguageEnglish : LanguageRussian; }

struct RTextPair {
  const char* Russian;  // UTF-8
  const char* English;
};

// Rows 0 to 85; rows 58 and 66 are unused and empty; 79 to 85 are the about box's. Line breaks
// are CR LF; "%d", "%.1f" and "%s" are placeholders (see FormatText).
inline constexpr int InterfaceTextRows = 86;
const std::array<RTextPair, InterfaceTextRows>& InterfaceTexts();

// A row in a language; empty for a row outside the table.
QString InterfaceText(int row, int language);

// Breaks a text into lines of at most maxColumn characters: a line ends with CR LF after the last
// space, hyphen or tab that keeps it within the limit. A word longer than that stays whole, text
// inside single or double quotes is never broken and line breaks already in the text remain.
QString WrapText(const QString& text, int maxColumn = 60);

// A row as a control's hint: wrapped to 60 characters, except row 51, which is a single word.
QString HintText(int row, int language);

// The pattern with its first placeholder ("%d", "%.1f" or "%s") replaced by value.
QString FormatText(const QString& pattern, const QString& value);

// A number with one decimal: the decimal separator of the user's locale, except that English
// texts never show a comma ("3.5" there, "3,5" in Russian on a system that writes commas).
QString OneDecimal(double value, int language, QChar localeSeparator);

// Line breaks as Qt's widgets expect them (LF); the table keeps CR LF.
QString DisplayText(const QString& text);

}  // namespace ashtint
