// The settings file "AshtintGui.json": the settings record and the colour boxes' lists written as
// JSON, read back at start-up with the built-in value for every key the file lacks.
#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <functional>

#include "gui/gui_settings.h"

namespace ashtint {

class TComboBox;

// The version of the file's layout; a file of any other version is ignored as a whole.
inline constexpr const char* SettingsFileVersion = "1.5";

// The colour boxes whose lists the file keeps, in this order.
enum TColorSlot { SlotDPT, SlotDPTInside, SlotCCT, SlotMEM, SlotCTM, ColorSlotCount };
using TColorBoxes = std::array<TComboBox*, ColorSlotCount>;
// The field of the record that holds a box's colour.
QString RGuiSettings::*ColorField(TColorSlot slot);

// Texts kept in Base64 of their single-byte form (UTF-8 on Linux, the ANSI code page on Windows;
// a text the code page cannot hold as UTF-8 behind a byte order mark). Decoding skips characters
// outside the Base64 alphabet.
QString EncodeBase64Text(const QString& text);
QString DecodeBase64Text(const QString& base64);
// A colour list: every item followed by CR LF, then Base64. Empty lines are no items.
QString EncodeColorList(const QStringList& items);
QStringList DecodeColorList(const QString& base64);

class TSettings {
 public:
  // Builds Defaults from the record and the boxes' lists as they are now, so the record must
  // still hold its initial values and the boxes their design lists. Every box must exist.
  TSettings(QString fileName, RGuiSettings& settings, const TColorBoxes& boxes);

  const QString& FileName() const { return fileName_; }
  const QJsonValue& Defaults() const { return defaults_; }
  const QJsonValue& Current() const { return current_; }
  // True while Current is no readable file (none, or a damaged one): the front end then treats
  // the start as a first start.
  bool DefaultsInUse() const { return defaultsInUse_; }

  // Shows the message about a damaged file; a message box captioned "AshtintGui" unless replaced.
  std::function<void(const QString& message)> ShowError;

  // Reads the file, chooses Current and copies every value into the record and the colour
  // boxes (each box then normalises its colour, which goes back into the record). A damaged
  // file, or one of another version, is first kept as FileName + ".bak"; the values of a file of
  // another version are read like those of the current one.
  void Load();
  // Rebuilds Current from the record and the boxes and writes it beside the file, then renames
  // it over the file, so a failure at any point leaves the old file whole. False when nothing
  // was written.
  bool Save();
  // The record and the boxes' lists as one line of JSON with unquoted keys.
  QString BuildText() const;
  // The value at a dotted path in Current, else in Defaults; undefined when in neither.
  QJsonValue ValueAt(QStringView path) const;

 private:
  void Apply();
  // Copies the file to FileName + ".bak"; the copy's name, or empty when it could not be made.
  QString KeepCopy() const;

  QString fileName_;
  RGuiSettings& settings_;
  TColorBoxes boxes_;
  QJsonValue defaults_;
  QJsonValue current_{QJsonValue::Undefined};
  bool defaultsInUse_ = false;
};

}  // namespace ashtint
