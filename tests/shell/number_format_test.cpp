#include "shell/number_format.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace tavorin {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

TEST(GeneralNumber, FormatsAt15DigitsWithoutTrailingZeros) {
    const std::pair<double, const char*> cases[] = {
        {0.9953125, "0.9953125"},
        {-1.5, "-1.5"},
        {0.1 + 0.2, "0.3"},
        {-0.0, "0"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.9, "1E+15"},
        {0.0000123456789012345, "0.0000123456789012345"},
        {1234567890123456.0, "1.23456789012346E+15"},
        {-1.5e-7, "-1.5E-07"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {std::nan(""), "NaN"},
        {-infinity, "-Infinity"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatGeneralNumber(value), QString::fromLatin1(text));
    }
    // The 44100 Hz frame: 26 whole ms of 26.1224... ms is one unit in the last place below
    // 0.9953125; fifteen digits bring it back. Fifteen digits of the largest double lie beyond.
    const double raw = 26.0 / (1152.0 / 44.1);
    EXPECT_NE(raw, 0.9953125);
    EXPECT_EQ(roundTo15Digits(raw), 0.9953125);
    EXPECT_EQ(roundTo15Digits(-(0.1 + 0.2)), -0.3);
    EXPECT_EQ(roundTo15Digits(-std::numeric_limits<double>::max()), -infinity);
}

TEST(GeneralNumber, ParsesDecimalsOnly) {
    // A value too small for a double reads as zero, not as an error.
    const std::pair<const char16_t*, double> accepted[] = {
        {u"12.5", 12.5},  {u"+7", 7.0},     {u".5", 0.5},
        {u"5.", 5.0},     {u"-.25", -0.25}, {u"9.953125E-01", 0.9953125},
        {u"000123", 123}, {u"1e-400", 0.0}};
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(parseDecimal(QString::fromUtf16(text)), value);
    }
    const QString rejected =
        u"|-|.|1.2.3|1,5|1 000| 1|1 |0x10|inf|NaN|1e|1e+|e5|+-1|12a|１２|1e400|"
        u"1.7976931348623159e308|1\u00A0"_qs;
    for (const QString& text : rejected.split(u'|')) {
        EXPECT_EQ(parseDecimal(text), std::nullopt) << text.toStdString();
    }
    // Out of range by digits alone: too large gives nothing, too small reads as zero.
    EXPECT_EQ(parseDecimal(QString(400, u'9')), std::nullopt);
    EXPECT_EQ(parseDecimal(u"-0."_qs + QString(400, u'0') + u'1'), -0.0);
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
        const std::optional<double> back = parseDecimal(text);
        ASSERT_TRUE(back.has_value()) << text.toStdString();
        EXPECT_EQ(*back, roundTo15Digits(value)) << text.toStdString();
        EXPECT_EQ(formatGeneralNumber(*back), text);
    }
    EXPECT_EQ(parseDecimal(u"1,5"_qs), std::nullopt);
    std::setlocale(LC_ALL, savedLocale.c_str());
    QLocale::setDefault(QLocale::c());
}

} // namespace
} // namespace tavorin
