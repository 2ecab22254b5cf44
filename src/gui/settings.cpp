#include "gui/settings.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>

#include <algorithm>
#include <limits>
#include <system_error>

#include "gui/color_combo_box.h"
#include "gui/guide_texts.h"
#include "gui/interface_texts.h"
#include "gui/replaced_file.h"
#include "json/json_reader.h"
#include "json/json_value.h"

namespace ashtint {

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");

struct RColorPaths {
  const char* Color;
  const char* List;
  QString RGuiSettings::*Field;
};

constexpr std::array<RColorPaths, ColorSlotCount> ColorPaths = {{
    {"mods.dpt.color", "mods.dpt.colorlist", &RGuiSettings::DPTColor},
    {"mods.dpt.insidecolor", "mods.dpt.insidecolorlist", &RGuiSettings::DPTInsideColor},
    {"mods.cct.color", "mods.cct.colorlist", &RGuiSettings::CCTColor},
    {"mods.mem.color", "mods.mem.colorlist", &RGuiSettings::MEMColor},
    {"mods.ctm.color", "mods.ctm.colorlist", &RGuiSettings::CTMColor},
}};

struct RBoolPath {
  const char* Path;
  bool RGuiSettings::*Field;
};

constexpr auto BoolPaths = std::to_array<RBoolPath>({
    {"system.options.viewclientspathsstartup", &RGuiSettings::ViewClientsPathsStartup},
    {"system.options.gamesearch.currentfolder", &RGuiSettings::SearchCurrentFolder},
    {"system.options.gamesearch.gamecenter", &RGuiSettings::SearchGameCenter},
    {"system.options.gamesearch.systemregistry", &RGuiSettings::SearchSystemRegistry},
    {"system.options.gamesearch.commontest", &RGuiSettings::SearchCommonTest},
    {"system.options.logfile", &RGuiSettings::LogFile},
    {"system.options.rewritelogfile", &RGuiSettings::RewriteLogFile},
    {"system.options.autocheckupdate", &RGuiSettings::AutoCheckUpdate},
    {"mods.modspath.enable", &RGuiSettings::ModsPathEnable},
    {"mods.dpt.enable", &RGuiSettings::DPTEnable},
    {"mods.dpt.inside", &RGuiSettings::DPTInside},
    {"mods.dpt.removeshadow", &RGuiSettings::DPTRemoveShadow},
    {"mods.cct.enable", &RGuiSettings::CCTEnable},
    {"mods.mem.enable", &RGuiSettings::MEMEnable},
    {"mods.ctm.enable", &RGuiSettings::CTMEnable},
    {"mods.spacebinpatch", &RGuiSettings::SpaceBinPatch},
    {"mods.camo.enable", &RGuiSettings::CamoEnable},
    {"mods.camo.downsizing", &RGuiSettings::CamoDownsizing},
    {"options.showoptions", &RGuiSettings::ShowOptions},
    {"options.multistart", &RGuiSettings::MultiStart},
    {"options.autoclose", &RGuiSettings::AutoClose},
    {"options.noupdateconfigs", &RGuiSettings::NoUpdateConfigs},
    {"options.useconfigsfolder", &RGuiSettings::UseConfigsFolder},
    {"options.nowotmod", &RGuiSettings::NoWotmod},
    {"options.allinonewotmod", &RGuiSettings::AllInOneWotmod},
    {"options.subfolderwotmod", &RGuiSettings::SubfolderWotmod},
    {"options.removeoldwotmod", &RGuiSettings::RemoveOldWotmod},
    {"options.nohd", &RGuiSettings::NoHD},
    {"options.usecpucount", &RGuiSettings::UseCPUCount},
});

QString Bool(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }

// A JSON string literal. The values are hex digits, Base64 and the date as the locale writes it;
// escaping keeps the line readable whatever a locale puts into its dates.
QString Quoted(const QString& s) {
  QString out = QStringLiteral("\"");
  for (QChar c : s) {
    if (c == u'"' || c == u'\\') {
      out += u'\\';
      out += c;
    } else if (c.unicode() < 0x20) {
      out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    } else {
      out += c;
    }
  }
  return out + u'"';
}

QString TodayText() {
  return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).replace(u'/', u'.').toLower();
}

int ClampedInt(qint64 value, int low, int high) {
  return static_cast<int>(std::clamp<qint64>(value, low, high));
}

}  // namespace

QString RGuiSettings::*ColorField(TColorSlot slot) { return ColorPaths[static_cast<std::size_t>(slot)].Field; }

QString EncodeBase64Text(const QString& text) {
  QByteArray bytes = text.toLocal8Bit();
  // Windows' ANSI code page cannot hold every path (a Cyrillic name on a Western system would come
  // back as question marks): such a text is kept as UTF-8 behind a byte order mark instead, which
  // no text of a single-byte code page begins with.
  if (QString::fromLocal8Bit(bytes) != text) bytes = Utf8Bom + text.toUtf8();
  return QString::fromLatin1(bytes.toBase64());
}

QString DecodeBase64Text(const QString& base64) {
  // Characters outside Latin-1 become '?', which the decoder skips like every other stray one.
  const QByteArray bytes = QByteArray::fromBase64(base64.toLatin1());
  if (bytes.startsWith(Utf8Bom)) return QString::fromUtf8(bytes.mid(Utf8Bom.size()));
  return QString::fromLocal8Bit(bytes);
}

QString EncodeColorList(const QStringList& items) {
  QString text;
  for (const QString& item : items) text += item + QStringLiteral("\r\n");
  return EncodeBase64Text(text);
}

QStringList DecodeColorList(const QString& base64) {
  QStringList items;
  for (const QString& line : DecodeBase64Text(base64).split(u'\n')) {
    const QString item = line.endsWith(u'\r') ? line.chopped(1) : line;
    if (!item.isEmpty()) items << item;
  }
  return items;
}

TSettings::TSettings(QString fileName, RGuiSettings& settings, const TColorBoxes& boxes)
    : fileName_(std::move(fileName)), settings_(settings), boxes_(boxes) {
  ShowError = [](const QString& message) { QMessageBox::critical(nullptr, QStringLiteral("AshtintGui"), message); };
  defaults_ = ParseJson(BuildText()).Tree;
}

QString TSettings::BuildText() const {
  const RGuiSettings& s = settings_;
  auto list = [this](TColorSlot slot) { return Quoted(EncodeColorList(boxes_[slot]->Items())); };
  auto path = [](const QString& p) { return Quoted(EncodeBase64Text(p)); };
  // Spaces stand exactly where they have always stood in this line.
  QString t;
  t += "{system:{settingsfile:{version: " + Quoted(QString::fromLatin1(SettingsFileVersion)) +
       ",date: " + Quoted(TodayText()) + "},exefile: " + path(s.ExeFile);
  t += ",options:{viewclientspathsstartup: " + Bool(s.ViewClientsPathsStartup) +
       ",gamesearch: {currentfolder: " + Bool(s.SearchCurrentFolder) + ",gamecenter: " + Bool(s.SearchGameCenter) +
       ",systemregistry: " + Bool(s.SearchSystemRegistry) + ",commontest: " + Bool(s.SearchCommonTest) +
       "},logfile: " + Bool(s.LogFile) + ",rewritelogfile: " + Bool(s.RewriteLogFile) +
       ",autocheckupdate: " + Bool(s.AutoCheckUpdate) + "}}";
  t += ",mods: {wotpath: " + path(s.WotPath) + ",modspath:{enable: " + Bool(s.ModsPathEnable) +
       ",path: " + path(s.ModsPath) + '}';
  t += ",dpt: {enable: " + Bool(s.DPTEnable) + ",color: " + Quoted(s.DPTColor) + ",colorlist: " + list(SlotDPT) +
       ",inside: " + Bool(s.DPTInside) + ",insidecolor: " + Quoted(s.DPTInsideColor) +
       ",insidecolorlist: " + list(SlotDPTInside) + ",removeshadow: " + Bool(s.DPTRemoveShadow) + '}';
  t += ",cct: {enable: " + Bool(s.CCTEnable) + ",color: " + Quoted(s.CCTColor) + ",colorlist: " + list(SlotCCT) +
       '}';
  t += ",mem: {enable: " + Bool(s.MEMEnable) + ",color: " + Quoted(s.MEMColor) + ",colorlist: " + list(SlotMEM) +
       '}';
  t += ",ctm: {enable: " + Bool(s.CTMEnable) + ",color: " + Quoted(s.CTMColor) + ",colorlist: " + list(SlotCTM) +
       '}';
  t += ",spacebinpatch: " + Bool(s.SpaceBinPatch) + ",camo: {enable: " + Bool(s.CamoEnable) +
       ",visibility: " + QString::number(s.CamoVisibility) + ",downsizing: " + Bool(s.CamoDownsizing) +
       ",downsizingratio: " + QString::number(s.CamoDownsizingRatio) + "}}";
  t += ",options:{language: " + QString::number(s.Language) + ",showoptions: " + Bool(s.ShowOptions) +
       ",multistart: " + Bool(s.MultiStart) + ",autoclose: " + Bool(s.AutoClose) +
       ",noupdateconfigs: " + Bool(s.NoUpdateConfigs) + ",useconfigsfolder: " + Bool(s.UseConfigsFolder) +
       ",configsfolder: " + path(s.ConfigsFolder) + ",nowotmod: " + Bool(s.NoWotmod) +
       ",allinonewotmod: " + Bool(s.AllInOneWotmod) + ",subfolderwotmod: " + Bool(s.SubfolderWotmod) +
       ",removeoldwotmod: " + Bool(s.RemoveOldWotmod) + ",nohd: " + Bool(s.NoHD) +
       ",usecpucount: " + Bool(s.UseCPUCount) + ",cpucount: " + QString::number(s.CPUCount) + "}}";
  return t;
}

QJsonValue TSettings::ValueAt(QStringView path) const {
  const QJsonValue v = JsonAt(current_, path);
  return v.isUndefined() ? JsonAt(defaults_, path) : v;
}

void TSettings::Load() {
  defaultsInUse_ = true;
  QFile file(fileName_);
  if (!QFileInfo(fileName_).isFile() || !file.open(QIODevice::ReadOnly)) {
    if (current_.isUndefined()) current_ = defaults_;
    Apply();
    return;
  }
  QByteArray bytes = file.readAll();
  file.close();
  if (bytes.startsWith(Utf8Bom)) bytes.remove(0, Utf8Bom.size());
  const RSOResult parsed = ParseJson(QString::fromUtf8(bytes));
  if (parsed.Error) {
    // The user may still mend a damaged file by hand: it is kept before anything replaces it.
    const QString kept = KeepCopy();
    // The record still holds the language it started with (the system's): the message comes in that one.
    const int language = settings_.Language;
    QString message = InterfaceText(43, language);
    message += parsed.Character.isEmpty()
                   ? GuideText(TGuideText::SettingsErrorEnd, language)
                   : FormatText(GuideText(TGuideText::SettingsErrorAt, language), parsed.Character);
    message += QStringLiteral(" (") + QString::number(parsed.Line) + u':' + QString::number(parsed.Column) + u')';
    if (!kept.isEmpty())
      message += QStringLiteral("\r\n\r\n") + FormatText(GuideText(TGuideText::SettingsKeptAs, language), kept);
    if (ShowError) ShowError(message);
    current_ = defaults_;
  } else {
    current_ = parsed.Tree;
    const QString versionPath = QStringLiteral("system.settingsfile.version");
    const QJsonValue version = JsonAt(current_, versionPath);
    // A file of another version still holds the player's choices: every key that is here reads
    // as it always has, every missing one gets its default, and the original is kept.
    if (version.isUndefined() || JsonAsString(version) != JsonAsString(JsonAt(defaults_, versionPath))) KeepCopy();
    defaultsInUse_ = false;
  }
  Apply();
}

QString TSettings::KeepCopy() const {
  const QString backup = fileName_ + QStringLiteral(".bak");
  QFile::remove(backup);
  return QFile::copy(fileName_, backup) ? backup : QString();
}

void TSettings::Apply() {
  RGuiSettings& s = settings_;
  auto text = [this](const char* path) { return JsonAsString(ValueAt(QString::fromLatin1(path))); };
  auto integer = [this](const char* path) { return JsonAsInteger(ValueAt(QString::fromLatin1(path))); };

  s.ExeFile = DecodeBase64Text(text("system.exefile"));
  s.WotPath = DecodeBase64Text(text("mods.wotpath"));
  s.ModsPath = DecodeBase64Text(text("mods.modspath.path"));
  s.ConfigsFolder = DecodeBase64Text(text("options.configsfolder"));
  for (const RBoolPath& b : BoolPaths) s.*b.Field = JsonAsBoolean(ValueAt(QString::fromLatin1(b.Path)));
  // The track bars take only their ranges; the ratio is kept as read and only shown as "2" when
  // it is none of 2, 4 and 8.
  s.CamoVisibility = ClampedInt(integer("mods.camo.visibility"), 0, 100);
  s.CamoDownsizingRatio = ClampedInt(integer("mods.camo.downsizingratio"), std::numeric_limits<int>::min(),
                                     std::numeric_limits<int>::max());
  s.CPUCount = ClampedInt(integer("options.cpucount"), 1, 16);
  s.Language = KnownLanguage(ClampedInt(integer("options.language"), -1, 2));

  for (int slot = 0; slot < ColorSlotCount; ++slot) {
    TComboBox* box = boxes_[static_cast<std::size_t>(slot)];
    const RColorPaths& p = ColorPaths[static_cast<std::size_t>(slot)];
    box->SetItems(DecodeColorList(text(p.List)));
    box->setEditText(text(p.Color));
    box->ListSelected();
    s.*p.Field = box->currentText();
  }
}

bool TSettings::Save() {
  current_ = ParseJson(BuildText()).Tree;
  if (current_.isUndefined()) return false;
  const QString folder = QFileInfo(fileName_).absolutePath();
  if (!QDir().mkpath(folder)) return false;
  if (!WriteFileReplacing(fileName_, Utf8Bom + WriteJson(current_))) return false;
  return true;
}

}  // namespace ashtint
