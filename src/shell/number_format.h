#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tavorin {

// The general number format of At-Tag values: at most 15 significant digits, "." as the
// decimal point whatever the user's locale, no exponent for ordinary values, no trailing zeros.
QString formatGeneralNumber(double value);
// A double rounded to 15 significant decimal digits by writing and re-reading it.
double roundTo15Digits(double value);
// Plain decimal with sign and fraction, C locale; nothing when the text is not such a number
// or lies outside the range of a double.
std::optional<double> parseDecimal(QStringView text);

} // namespace tavorin
