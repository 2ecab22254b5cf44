#include "gui/guide_texts.h"

#include <QRegularExpression>

#include <array>

#include "gui/interface_texts.h"

namespace ashtint {

namespace {

// clang-format off
constexpr std::array<RTextPair, static_cast<std::size_t>(TGuideText::Count)> Texts = {{
    {"не выбран клиент игры", "no client chosen"},
    {"клиент игры не найден: %s", "client not found at %s"},
    {"в папку назначения нельзя записывать: %s", "destination is not writable: %s"},
    {"не выбран ни один мод", "no mod chosen"},
    {"программа недоступна: %s", "the engine cannot be used: %s"},
    {"моды ещё создаются", "mods are being created"},
    {"Моды не могут быть созданы:", "The mods cannot be created:"},
    {"клиент игры не распознан (его paths.xml или version.xml не читается)",
     "the game client is not recognised (its paths.xml or version.xml cannot be read)"},
    {"в папке клиента нет программы игры", "the client folder holds no game program"},
    {"в папке %s нет пакетов игры", "there are no game packages in %s"},
    {"папку назначения нельзя создать: %s", "the destination folder cannot be created: %s"},
    {"в папку назначения нельзя записывать: %s", "nothing can be written into the destination folder %s"},
    {"Клиент игры не найден. Где искали:\r\n%s\r\n\r\nУказать файл клиента (WorldOfTanks.exe или Tanki.exe) вручную?",
     "No game client was found. Looked in:\r\n%s\r\n\r\nChoose the client's program file (WorldOfTanks.exe or Tanki.exe) yourself?"},
    {"папка программы %s и её подпапки", "the program folder %s and its subfolders"},
    {"префикс Wine или Proton %s", "the Wine or Proton prefix %s"},
    {"префиксы Wine и Proton в %s: не найдено ни одного", "Wine and Proton prefixes in %s: none found"},
    {"центры игр и системный реестр Windows", "the game centers and the Windows registry"},
    {"Выберите программу клиента игры", "Choose the game client's program"},
    {"Выберите папку назначения", "Choose the destination folder"},
    {"Выберите папку с конфигами", "Choose the configs folder"},
    {"Моды ещё создаются. Остановить создание? Временные файлы будут удалены.",
     "Mods are still being created. Stop the run? Its temporary files are removed."},
    {"Результат создания модов", "Mods created"},
    {"Моды созданы. Папка: %s", "The mods were created in %s"},
    {"Не все моды созданы.", "Not every mod was created."},
    {"Мод", "Mod"},
    {"Результат", "Result"},
    {"Подробности", "Details"},
    {"создан", "built"},
    {"ошибка", "failed"},
    {"пропущен", "skipped"},
    {"Открыть папку", "Open folder"},
    {"Вывод программы", "Engine output"},
    {"Закрыть", "Close"},
    {"остановлено пользователем", "stopped by you"},
    {"Уничтоженные танки", "Destroyed tanks"},
    {"Сбитые траки", "Crashed tracks"},
    {"Техника на картах", "Equipment on the maps"},
    {"Вагоны и поезда", "Carriages and trains"},
    {"Файлы space.bin", "space.bin files"},
    {"Камуфляжи", "Camouflages"},
    {"неожиданный символ «%s»", "unexpected character \"%s\""},
    {"файл обрывается", "the file ends too early"},
    {"Нечитаемый файл сохранён как %s.", "The unreadable file is kept as %s."},
    {"Путь", "Path"},
    {"Издатель", "Publisher"},
    {"Версия", "Version"},
    {"%1 обновлён до версии %2; ваши моды созданы для %3 и больше не загружаются.",
     "%1 was updated to %2; your mods were built for %3 and no longer load."},
    {"Моды созданы %1 для %2, но %3 из %4 пакетов больше нет на месте.",
     "Mods built on %1 for %2, but %3 of their %4 packages are gone."},
    {"Моды созданы %1 для %2: %3, %4", "Mods built on %1 for %2: %3, %4"},
    {"%1 пакет", "%1 package"},
    {"%1 пакета", "%1 packages"},
    {"%1 пакетов", "%1 packages"},
    {"Пересоздать", "Rebuild"},
    {"Скрыть", "Hide"},
    {"Создать моды заново с теми же цветами и настройками:\n%1", "Build the mods again with the same colours and options:\n%1"},
    {"Пакеты этой программы остались и в папках модов прежних версий игры (игра их уже не загружает):\r\n%1\r\n\r\nУдалить и их?",
     "This program's packages are also in the mods folders of earlier game versions (the game no longer loads them):\r\n%1\r\n\r\nRemove them too?"},
    {"Не удалось удалить:\r\n%1", "Could not remove:\r\n%1"},
    {"Запись о созданных модах не сохранена в %1: %2", "The record of the mods built could not be written to %1: %2"},
}};
// clang-format on

}  // namespace

QString GuideText(TGuideText text, int language) {
  const RTextPair& pair = Texts.at(static_cast<std::size_t>(text));
  return QString::fromUtf8(KnownLanguage(language) == LanguageEnglish ? pair.English : pair.Russian);
}

QString ModTitle(const QString& mod, int language) {
  static const std::pair<const char*, TGuideText> titles[] = {
      {"DPT", TGuideText::ModDPT},       {"CCT", TGuideText::ModCCT},           {"MEM", TGuideText::ModMEM},
      {"CTM", TGuideText::ModCTM},       {"SpaceBin", TGuideText::ModSpaceBin}, {"CAMO", TGuideText::ModCAMO}};
  for (const auto& [name, text] : titles)
    if (mod == QLatin1String(name)) return GuideText(text, language);
  return mod;
}

QString WithPackageWord(const QString& text, const QString& packageWord) {
  if (packageWord.isEmpty() || packageWord == QLatin1String("wotmod")) return text;
  // "wotmod-package" is a word of the interface; "without-wotmod" and "*.wotmod" name the engine's keys and files.
  static const QRegularExpression word(QStringLiteral("(?<![-\\w.*])wotmod(?=-)"));
  QString result = text;
  return result.replace(word, packageWord);
}

}  // namespace ashtint
