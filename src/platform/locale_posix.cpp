#include "platform/locale.h"

#include <langinfo.h>
#include <locale.h>

namespace ashtint {

char LocaleDecimalSeparator() {
  // A private locale object: the process's global locale stays "C" for everything else.
  locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  const char sep = (radix && radix[0] && !radix[1]) ? radix[0] : '.';
  freelocale(loc);
  return sep;
}

}  // namespace ashtint
