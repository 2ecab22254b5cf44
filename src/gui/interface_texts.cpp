#include "gui/interface_texts.h"

namespace ashtint {

namespace {

// clang-format off
constexpr std::array<RTextPair, InterfaceTextRows> Texts = {{
    /*  0 caption of PMSelectWOTPath */
    {"Выбрать клиент из списка",
     "Select a client from the list"},
    /*  1 caption of PMSetWOTPath */
    {"Задать путь к клиенту игры...",
     "Set the path to the game client..."},
    /*  2 caption of PMWotSearch */
    {"Искать клиент игры",
     "Search for game client"},
    /*  3 caption of PMWotSearchInLocal */
    {"В текущей папке",
     "In current folder"},
    /*  4 caption of PMWotSearchWithGameCenter */
    {"В профиле Game Center",
     "In Game Center profile"},
    /*  5 caption of PMWotSearchInRegistry */
    {"В системном реестре",
     "In system registry"},
    /*  6 caption of PMWotSearchInCT */
    {"Искать тестовые клиенты",
     "Search test clients"},
    /*  7 caption of cbModsPath */
    {"Папка назначения:",
     "Destination folder:"},
    /*  8 eModsPath when no destination folder is used */
    {"<Папка модов в игре>",
     "<Mods folder in the game>"},
    /*  9 caption of gMods */
    {" Модификации: ",
     " Modifications: "},
    /* 10 caption of cbModDPT (DPT size) */
    {"Уничтоженные танки игроков (пакет %d МБ)",
     "Destroyed player tanks (package %d MB)"},
    /* 11 caption of cbColorInsideTank */
    {"Отдельный цвет внутри танка",
     "Separate color inside the tank"},
    /* 12 caption of cbRemoveShadow */
    {"Убрать тени и темные пятна",
     "Remove shadows and dark spots"},
    /* 13 caption of cbModCCT (CCT size) */
    {"Цветные сбитые траки (пакет %d МБ)",
     "Colored сrashed tracks (package %d MB)"},
    /* 14 caption of cbModMEM (MEM size) */
    {"Военная техника на картах (пакет %d МБ)",
     "Military equipment on the maps (package %d MB)"},
    /* 15 caption of cbModCTM (CTM size) */
    {"Вагоны и поезда на картах (пакет %d МБ)",
     "Сarriages and trains on the maps (package %d MB)"},
    /* 16 caption of cbSpaceBinPatch (space.bin size in GB) */
    {"Обработать space.bin файлы (пакет %.1f ГБ)",
     "Process space.bin files (package %.1f GB)"},
    /* 17 caption of cbModCAMO (CAMO size) */
    {"Полупрозрачные камуфляжи (пакет %d МБ)",
     "Translucent camouflages (package %d MB)"},
    /* 18 caption of cbResizeCamo */
    {"Сжать текстуры камуфляжей",
     "Reduce camouflage textures"},
    /* 19 caption of gOptions */
    {" Опции: ",
     " Options: "},
    /* 20 caption of cbMultiStartConsole */
    {"Запускать несколько копий",
     "Run multiple copies"},
    /* 21 caption of cbAutoCloseConsole */
    {"Автоматически закрывать консоль",
     "Automatically close console"},
    /* 22 caption of cbNoUpdateConfigs */
    {"Не загружать новые конфиги",
     "Don't download new configs"},
    /* 23 caption of cbConfigsPath */
    {"Полный путь к папке с конфигами",
     "Full path to the configs folder"},
    /* 24 eConfigsPath when no configuration folder is used */
    {"<Текущая папка>",
     "<Current folder>"},
    /* 25 caption of cbWithoutWotmod */
    {"Не создавать wotmod-пакеты",
     "Don't create wotmod-packages"},
    /* 26 caption of cbAllInOneWotmod */
    {"Запаковать в один wotmod-пакет",
     "Packed in one wotmod-package"},
    /* 27 caption of cbSubFolderWotmod */
    {"Сохранить моды в отдельную подпапку",
     "Save mods to a separate subfolder"},
    /* 28 caption of cbRemoveWotmod */
    {"Найти и удалить старые wotmod-пакеты",
     "Find and remove old wotmod-packages"},
    /* 29 caption of cbWithoutHD */
    {"Не включать в моды HD-текстуры",
     "Don't include HD-textures in mods"},
    /* 30 caption of cbCPUCount */
    {"Число параллельных потоков",
     "Count of parallel threads"},
    /* 31 caption of bRun (before the size) */
    {"Создать моды",
     "Create mods"},
    /* 32 caption of bDeleteWotmod */
    {"Удалить wotmod-файлы мода из игры",
     "Remove mod wotmod-files from the game"},
    /* 33 caption of bCheckUpdates */
    {"Проверить обновления на сайте",
     "Check website for updates"},
    /* 34 caption of bGotoSite */
    {"Перейти на сайт программы",
     "Go to the program website"},
    /* 35 caption of PMManualClientSelect */
    {"Показывать список клиентов игры",
     "Show a list of game clients"},
    /* 36 caption of PMLogFile */
    {"Сохранять информацию в лог-файл",
     "Save information to a log-file"},
    /* 37 caption of PMRewriteLog */
    {"Перезаписывать лог-файл",
     "Overwrite log-file"},
    /* 38 caption of PMAutoCheckUpdate */
    {"Проверять обновления на сайте",
     "Check website for updates"},
    /* 39 title of the destination folder chooser */
    {"Укажите папку для сохранения файлов модификаций.\r\nЕсли необходимо, чтобы модификации сохранялись сразу в каталог модов игры, то не указывайте путь или снимите галочку с пункта.",
     "Specify the folder to save the modification files.\r\nIf it is necessary that the modifications are saved to the game mods directory, do not specify the path or uncheck the box."},
    /* 40 title of the configuration folder chooser */
    {"Укажите папку с конфигурационными файлами.\r\nКонфигурационные файлы по умолчанию скачиваются и сохраняются в каталог программы.",
     "Specify the folder with the configuration files.\r\nBy default, configuration files are downloaded and saved in the program directory."},
    /* 41 multi-start question */
    {"Будет запущено одновременно несколько копий программы для ускорения создания модов. Если игра установлена не на SSD-диске, то использовать мультизапуск не рекомендуется. Продолжить в режиме мультизапуска?\r\n\r\nДа - продолжить с мультизапуском; Нет - продолжить без мультизапуска; Отмена - отменить запуск программы.\r\n\r\nПримечание: Для ускорения процесса создания модов рекомендуется размещать игру на SSD-диске.",
     "Several copies of the program will be launched simultaneously to speed up the creation of mods. If the game is not installed on an SSD-drive, then using multi-launch is not recommended. Continue in multi-launch mode?\r\n\r\nYes - Continue with multi-launch; No - Continue without multistart; Cancel - Cancel the launch of the program.\r\n\r\nNote: To speed up the process of creating mods, it is recommended to place the game on an SSD-drive."},
    /* 42 engine missing at start (format) */
    {"Файл \"%s\" не найден в папке с программой или он поврежден. Переместите файл в папку с программой или скачайте программу заново.",
     "The file \"%s\" was not found in the program folder or it is damaged. Move the file to the program folder or download the program again."},
    /* 43 settings file unreadable */
    {"Не удалось прочитать файл \"AshtintGui.json\". Он либо поврежден, либо устарел или записан с ошибкой. Будут загружены настройки по умолчанию.\r\n\r\nОшибка: ",
     "Unable to read the entire file \"AshtintGui.json\". This file is either damaged or outdated and written with an error. Will be loaded default settings.\r\n\r\nError: "},
    /* 44 folder cannot be created */
    {"Нет доступа к указанной директории или к её файлам!",
     "No access to the specified directory or its files!"},
    /* 45 removal question */
    {"Найти и удалить все версии wotmod-пакетов мода?",
     "Find and remove all wotmod-packages versions of mod?"},
    /* 46 removal succeeded */
    {"Удаление завершено успешно.",
     "Removal completed successfully."},
    /* 47 engine run failed */
    {"Не удалось запустить консольную программу или работа программы была прервана из-за ошибки.",
     "The console program failed to start or the program was interrupted due to an error."},
    /* 48 no space on the temporary folder's drive */
    {"На системном диске недостаточно свободного места для создания модов.",
     "There is not enough free space on the system disk to create mods."},
    /* 49 no space on the destination drive */
    {"Недостаточно свободного места на диске для создания модов. Укажите другую папку для сохранения модов или освободите место на диске.",
     "There is not enough free disk space to create mods. Specify a different folder to save mods or free up disk space."},
    /* 50 no space on the game drive */
    {"Недостаточно свободного места на диске для создания модов. Освободите место на диске, где установлен клиент игры.",
     "There is not enough free disk space to create mods. Free up space on the disk where the game client is installed."},
    /* 51 hint of sbOptions (not wrapped) */
    {"Настройки",
     "Settings"},
    /* 52 hint of sbShowOptions */
    {"Показать дополнительные опции",
     "Show advanced options"},
    /* 53 hint of sbHideOptions */
    {"Скрыть дополнительные опции",
     "Hide advanced options"},
    /* 54 hint of sbLangRUS and sbLangENG */
    {"Переключить язык интерфейса",
     "Switch the interface language"},
    /* 55 hint of cbModsPath */
    {"Полный путь к папке назначения, если галочка не стоит, то это папка модов в игре",
     "The full path to the destination folder, if not checked, then this is the mods folder in the game"},
    /* 56 hint of cbMultiStartConsole */
    {"Будет запущено одновременно несколько копий программы для ускорения создания модов",
     "Several copies of the program will be launched simultaneously to speed up the creation of mods"},
    /* 57 hint of cbAutoCloseConsole */
    {"Окно консоли закрывается автоматически, если не будет ошибок в процессе создания модов",
     "The console window closes automatically if there are no errors during the creation of mods"},
    /* 58 unused */
    {"", ""},
    /* 59 hint of cbNoUpdateConfigs */
    {"Программа не будет сверять версии конфигов с конфигами на сервере и пытаться их обновлять",
     "The program will not check the version of the configs with the configs on the server and try to update them"},
    /* 60 hint of cbConfigsPath */
    {"Полный путь к папке с конфигами, если галочка не стоит, то конфиги берутся из каталога программы",
     "The full path to the folder with configs, if not checked, then configs are taken from the program directory"},
    /* 61 hint of cbWithoutWotmod */
    {"Файлы модов будут сохранены в папку \"res_mods\\X.X.X\\\" или в папку назначения, если она указанна пользователем",
     "Mod files will be saved in the \"res_mods\\X.X.X\\\" folder or in the destination folder, if specified by the user"},
    /* 62 hint of cbAllInOneWotmod */
    {"Все файлы будут упакованы в единый wotmod-пакет. Опция не сработает, если задан ключ without-wotmod или выбран режим запуска нескольких копий программы",
     "All files will be packaged in a single wotmod-package. The option will not work if the without-wotmod key is specified or the mode of launching multiple copies of the program is selected"},
    /* 63 hint of cbSubFolderWotmod */
    {"Все пакеты будут сохранены в отдельную подпапку \"AshtintCreator\\\". Опция не сработает, если задан ключ without-wotmod",
     "All packages will be saved in a separate subfolder of \"AshtintCreator\\\". The option will not work if the without-wotmod key are specified"},
    /* 64 hint of cbRemoveWotmod */
    {"Найти и удалить все пакеты, имена которых начинаются с \"mod.AshtintCreator.*\". Опция не сработает, если задан ключ without-wotmod",
     "Find and remove all packages whose names begin with \"mod.AshtintCreator.*\". The option will not work if the without-wotmod key is specified"},
    /* 65 hint of cbWithoutHD */
    {"При создании модов текстуры вида \"*_hd.dds\" будут игнорироваться и в пакеты не попадут. Если у вас HD-клиент игры и вы хотите создать версии пакетов без HD-текстур, то вам потребуется эта опция",
     "When creating mods, textures of the form \"*_hd.dds\" will be ignored and will not get into packages. If you have an HD game client and want to create versions of packages without HD textures, then you need this option"},
    /* 66 unused */
    {"", ""},
    /* 67 hint of cbCPUCount */
    {"По умолчанию при обработке файлов программа использует число параллельных потоков равное количеству ядер процессора. Если вы хотите принудительно задать число параллельных потоков, то воспользуйтесь этой опцией",
     "By default, when processing files, the program uses the number of parallel threads equal to the number of processor cores. If you want to force the number of parallel threads, then use this option"},
    /* 68 hint of bConsolePatch */
    {"Указать путь к файлу \"AshtintCreator2.exe\"",
     "Specify the path to the file \"AshtintCreator2.exe\""},
    /* 69 hint of sbCopyArgs */
    {"Скопировать аргументы командной строки в буфер обмена",
     "Copy command line arguments to clipboard"},
    /* 70 hint of cbModDPT */
    {"Перекрашивает текстуры уничтоженных танков игроков в заданный цвет",
     "Repaints the textures of the destroyed tanks of the players in the given color"},
    /* 71 hint of cbColorInsideTank */
    {"Для текстур, видимых внутри корпуса и башни танка, можно задать отдельный цвет",
     "For textures visible inside the hull and turret of the tank, you can set a separate color"},
    /* 72 hint of cbRemoveShadow */
    {"Убирает темные пятна, тени и подтеки на моделях, делая их однотонными",
     "Removes dark spots, shadows and smudges on models, making them monochromatic"},
    /* 73 hint of cbModCCT */
    {"Перекрашивает сбитые траки танков. В игре сбитые траки едины как для живых так и уничтоженных машин",
     "Repaints crashed tank tracks. In the game, crashed tracks are the same for both living and destroyed tanks"},
    /* 74 hint of cbModMEM */
    {"Перекрашивает танки и неразрушаемую военную технику, статически расставленную на картах",
     "Repaints the tank and indestructible military equipment statically placed on the maps"},
    /* 75 hint of cbModCTM */
    {"Перекрашивает железнодорожные вагоны, поезда, платформы, цистерны как целые так и уничтоженные",
     "Repaints railway cars, trains, platforms, tanks, both whole and destroyed"},
    /* 76 hint of cbSpaceBinPatch */
    {"Перекрашивает текстуры, запакованные в space.bin файлы карт. Эти текстуры отображаются при загрузке карты, а также на больших расстояниях. Мод занимает на диске более 3 ГБ",
     "Repaints textures packed in space.bin files of maps. These textures are displayed when loading a map, as well as at large distances. The mod takes up more than 3 GB of disk space"},
    /* 77 hint of cbModCAMO */
    {"Меняет яркость и размер текстур камуфляжей, кроме тех танков, у которых камуфляж нарисован непосредственно на основных текстурах (скинах). Размер мода зависит от выбранного коэффициента сжатия текстур",
     "Changes the brightness and size of camouflage textures, except for those tanks in which camouflage is painted directly on the main textures (skins). The size of the mod depends on the selected texture compression ratio"},
    /* 78 hint of cbResizeCamo */
    {"Коэффициент сжатия текстур камуфляжей, чем большие степень сжатия, тем быстрее будут создаваться файлы мода",
     "Compression ratio of camouflage textures, the higher the compression ratio, the faster the mod files will be created"},
    /* 79 caption of PMAbout */
    {"О программе...",
     "About..."},
    /* 80 caption of the about box */
    {"О программе",
     "About"},
    /* 81 version line of the about box (version, build) */
    {"Версия %s, сборка %s",
     "Version %s, build %s"},
    /* 82 licence line of the about box */
    {"Свободная программа под лицензией MIT.",
     "Free software under the MIT License."},
    /* 83 about box: tab with the licence */
    {"Лицензия",
     "License"},
    /* 84 about box: tab with the third-party notices */
    {"Сторонние компоненты",
     "Third-party components"},
    /* 85 about box: close button */
    {"Закрыть",
     "Close"},
}};
// clang-format on

bool IsBreakChar(QChar c) { return c == u' ' || c == u'-' || c == u'\t'; }
bool IsQuote(QChar c) { return c == u'"' || c == u'\''; }

QString WrapLine(QStringView line, int maxColumn) {
  QString out;
  qsizetype lineStart = 0;
  qsizetype breakAt = -1;  // index just after the last break character outside quotes
  QChar quote;
  for (qsizetype k = 0; k < line.size(); ++k) {
    if (k - lineStart + 1 > maxColumn && breakAt > lineStart) {
      out += line.mid(lineStart, breakAt - lineStart);
      out += QStringLiteral("\r\n");
      lineStart = breakAt;
    }
    const QChar c = line[k];
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
    } else if (IsQuote(c)) {
      quote = c;
    } else if (IsBreakChar(c)) {
      breakAt = k + 1;
    }
  }
  out += line.mid(lineStart);
  return out;
}

}  // namespace

const std::array<RTextPair, InterfaceTextRows>& InterfaceTexts() { return Texts; }

QString InterfaceText(int row, int language) {
  if (row < 0 || row >= InterfaceTextRows) return {};
  const RTextPair& pair = Texts[static_cast<std::size_t>(row)];
  return QString::fromUtf8(KnownLanguage(language) == LanguageEnglish ? pair.English : pair.Russian);
}

QString WrapText(const QString& text, int maxColumn) {
  QString out;
  qsizetype i = 0;
  for (;;) {
    qsizetype end = i;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    out += WrapLine(QStringView(text).mid(i, end - i), maxColumn);
    if (end >= text.size()) return out;
    // The existing break goes over as it is: CR LF, LF or CR.
    qsizetype next = end + 1;
    if (text[end] == u'\r' && next < text.size() && text[next] == u'\n') ++next;
    out += QStringView(text).mid(end, next - end);
    i = next;
  }
}

QString HintText(int row, int language) {
  const QString text = InterfaceText(row, language);
  return row == 51 ? text : WrapText(text);
}

QString FormatText(const QString& pattern, const QString& value) {
  for (qsizetype i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] != u'%') continue;
    for (QStringView placeholder : {u"%d", u"%.1f", u"%s"}) {
      if (QStringView(pattern).mid(i).startsWith(placeholder))
        return pattern.left(i) + value + pattern.mid(i + placeholder.size());
    }
  }
  return pattern;
}

QString OneDecimal(double value, int language, QChar localeSeparator) {
  QString text = QString::number(value, 'f', 1);  // always with a point
  text.replace(u'.', localeSeparator);
  if (KnownLanguage(language) == LanguageEnglish) text.replace(u',', u'.');
  return text;
}

QString DisplayText(const QString& text) {
  QString out = text;
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return out;
}

}  // namespace ashtint
