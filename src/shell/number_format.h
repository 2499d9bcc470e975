#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tavorin {

// The general number format of At-Tag values: at most 15 significant digits, "." as the
// decimal point whatever the user's locale, no trailing zeros. Plain decimals for
// 1e-5 <= |value| < 1e15; beyond that "1.5E+20" / "1E-06". NaN and infinities are written
// "NaN", "Infinity", "-Infinity", which parseDecimal rejects.
QString formatGeneralNumber(double value);
// A double rounded to 15 significant decimal digits by writing and re-reading it; near the
// largest double the rounded value may become an infinity of the same sign.
double roundTo15Digits(double value);
// A decimal with optional sign, fraction and exponent ("-12.5", ".5", "9.953125E-01"), C
// locale, no surrounding spaces; nothing for any other text (hexadecimal, "inf", "nan", ",",
// thousands separators, full-width digits) or a value beyond the range of a double. A value
// too small for a double reads as zero.
std::optional<double> parseDecimal(QStringView text);

} // namespace tavorin
