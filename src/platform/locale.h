// What the user's regional settings say about writing numbers.
#pragma once

namespace ashtint {

// The decimal separator of the user's locale ('.' when it cannot be read).
char LocaleDecimalSeparator();

}  // namespace ashtint
