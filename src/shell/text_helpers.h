#pragma once

#include <QString>

namespace tavorin {

// Texts that come from fixed-width platform fields: the part before the first NUL, and the
// text without the NULs that pad its end.
QString cutAtNul(const QString& text);
QString stripTrailingNuls(const QString& text);

// The first CR or LF at or after from; end when there is none.
const char16_t* findLineEnd(const char16_t* from, const char16_t* end);

} // namespace tavorin
