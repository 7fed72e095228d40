#pragma once
// Characters that input methods and other programs give in their Shift_JIS
// form while code page 932 has the same mark at a different code point.

#include <QString>

namespace platform {

// The text with each such character replaced by the code page 932
// character the user sees (wave dash → full-width tilde, minus sign →
// full-width hyphen-minus, …), so that it can be written in code page 932.
QString withCp932Forms(QString text);

} // namespace platform
