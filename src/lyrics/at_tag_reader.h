#pragma once

#include "lyrics/lyrics_record.h"

#include <QString>
#include <QStringView>

#include <cstdint>

namespace tavorin {

// Integer Value: rounded half to even; 0 for empty, non-numeric or out-of-range text.
std::int32_t integerValue(QStringView text);
// Real Value: rounded to 15 significant digits; 0 for empty, non-numeric or out-of-range text.
double realValue(QStringView text);

// Fills the record from a file's decoded text, then settles the time base: from the file when
// it states one, else Winamp Time (defaultTime on) or Standard Time.
LyricsRecord readAtTags(QStringView text, bool defaultTime);

} // namespace tavorin
