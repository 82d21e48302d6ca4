#include "platform/Regional.h"

#include <langinfo.h>
#include <locale.h>

namespace qor::platform {

NumberSymbols UserNumberSymbols() {
  NumberSymbols symbols;
  locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return symbols;  // unknown locale: the C symbols
  const char* decimal = nl_langinfo_l(RADIXCHAR, loc);
  const char* grouping = nl_langinfo_l(THOUSEP, loc);
  if (decimal != nullptr && *decimal != '\0') symbols.decimal = decimal;
  if (grouping != nullptr) symbols.grouping = grouping;
  freelocale(loc);
  return symbols;
}

}  // namespace qor::platform
