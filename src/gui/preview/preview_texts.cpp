#include "gui/preview/preview_texts.h"

#include <array>

#include "gui/interface_texts.h"

namespace ashtint {

namespace {

struct RPreviewTextPair {
  const char* Russian;
  const char* English;
};

constexpr std::array<RPreviewTextPair, ptTextCount> Texts{{
    {"нет клиента", "no client"},
    {"чтение…", "reading…"},
    {"не найдено", "not found"},
    {"не читается", "unreadable"},
    {"Предпросмотр", "Preview"},
    {"Было", "Before"},
    {"Стало", "After"},
    {"После сжатия DXT, как в игре", "After DXT compression, as in the game"},
    {"Текстура одного цвета 16 × 16", "One-colour texture 16 × 16"},
    {"Было и стало на текстуре вашего клиента; щелчок — крупнее",
     "Before and after on your client's texture; click for a larger view"},
}};

}  // namespace

QString PreviewText(int language, TPreviewText row) {
  const RPreviewTextPair& pair = Texts[std::size_t(row)];
  return QString::fromUtf8(language == LanguageEnglish ? pair.English : pair.Russian);
}

QString SampleWord(int language, TSampleState state) {
  switch (state) {
    case TSampleState::NoClient: return PreviewText(language, ptNoClient);
    case TSampleState::Reading: return PreviewText(language, ptReading);
    case TSampleState::NotFound: return PreviewText(language, ptNotFound);
    case TSampleState::Unreadable: return PreviewText(language, ptUnreadable);
    case TSampleState::Found: break;
  }
  return {};
}

}  // namespace ashtint
