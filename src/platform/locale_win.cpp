#include "platform/locale.h"

#include <windows.h>

namespace ashtint {

char LocaleDecimalSeparator() {
  char buf[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 0 && buf[0] && !buf[1]) return buf[0];
  return '.';
}

}  // namespace ashtint
