#include "shell/number_format.h"

#include "data_table.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

namespace tavorin {
namespace {

// Each row: "format" value text, "round" value rounded, "parse" text value, "reject" text;
// values are read as strtod reads them.
TEST(GeneralNumber, FormatsAt15DigitsRoundsAndParsesDecimalsOnly) {
    const auto rows = testing::tableRows("general_numbers.tsv");
    ASSERT_EQ(rows.size(), 46);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.join(' ').left(60).toStdString());
        const auto number = [&](int field) { return std::strtod(row[field].constData(), nullptr); };
        if (row[0] == "format") {
            EXPECT_EQ(formatGeneralNumber(number(1)), QString::fromUtf8(row[2]));
        } else if (row[0] == "round") {
            EXPECT_EQ(roundTo15Digits(number(1)), number(2));
        } else {
            EXPECT_EQ(parseDecimal(QString::fromUtf8(row[1])),
                      row[0] == "parse" ? std::optional(number(2)) : std::nullopt);
        }
    }
}

// What the writer writes, the reader reads back as the 15-digit value, whatever the locale.
TEST(GeneralNumber, FormatThenParseGivesTheRoundedValueInAGermanLocale) {
    const std::string savedLocale = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (Debian package locales-all)";
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 300);
    for (int i = 0; i < 5000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        const QString text = formatGeneralNumber(value);
        EXPECT_EQ(parseDecimal(text), roundTo15Digits(value)) << text.toStdString();
        EXPECT_EQ(formatGeneralNumber(roundTo15Digits(value)), text);
    }
    EXPECT_EQ(parseDecimal(u"1,5"_qs), std::nullopt);
    std::setlocale(LC_ALL, savedLocale.c_str());
    QLocale::setDefault(QLocale::c());
}

} // namespace
} // namespace tavorin
