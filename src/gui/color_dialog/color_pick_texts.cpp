#include "gui/color_dialog/color_pick_texts.h"

#include <array>

#include "gui/interface_texts.h"

namespace ashtint {

namespace {

// clang-format off
constexpr std::array<RTextPair, ColorPickTextRows> Texts = {{
    /*  0 window caption */                {"Цвет", "Color"},
    /*  1 bOK */                           {"ОК", "OK"},
    /*  2 bCancel */                       {"Отмена", "Cancel"},
    /*  3 lNewColor, new preview hint */   {"Новый", "New"},
    /*  4 lCurrentColor, current hint */   {"Текущий", "Current"},
    /*  5 sbHexaReset */                   {"Сбросить Hexa-палитру", "Reset Hexa-Palette"},
    /*  6 sbLighter */                     {"Светлее", "Lighter"},
    /*  7 sbDarker */                      {"Темнее", "Darker"},
    /*  8 sbInvers */                      {"Инвертировать", "Invers"},
    /*  9 sbGrayscale */                   {"Оттенок серого", "Grayscale"},
    /* 10 sbPipetka */                     {"Пипетка", "Pipette"},
    /* 11 sbUndoBegin */                   {"Вернуться к началу", "Undo to the beginning"},
    /* 12 sbUndo */                        {"Отменить", "Undo"},
    /* 13 sbRedo */                        {"Повторить", "Redo"},
    /* 14 sbRedoEnd */                     {"Повторять до конца", "Redo until the end"},
    /* 15 sbFindColorName */               {"Найти ближайший цвет к текущему", "Search the closest color to the current one"},
    /* 16 sbCopy */                        {"Скопировать в буфер", "Copy to clipboard"},
    /* 17 lResultFormat */                 {"Результат:", "Result:"},
    /* 18 sbPipetka, no screen capture */  {"Пипетка недоступна: система не дает программам читать пиксели экрана",
                                            "Pipette unavailable: the system does not let programs read screen pixels"},
    /* 19 the hexagon page */              {"Шестиугольник", "Hexa Color"},
    /* 20 the HSL page */                  {"Цвет HSL", "HSL Color"},
    /* 21 the HSB page */                  {"Цвет HSB", "HSB Color"},
    /* 22 bWebSafe */                      {"Веб-цвета", "Web-Safe"},
}};
// clang-format on

}  // namespace

QString ColorPickText(int row, int language) {
  if (row < 0 || row >= ColorPickTextRows) return {};
  const RTextPair& pair = Texts[static_cast<std::size_t>(row)];
  return QString::fromUtf8(KnownLanguage(language) == LanguageEnglish ? pair.English : pair.Russian);
}

}  // namespace ashtint
