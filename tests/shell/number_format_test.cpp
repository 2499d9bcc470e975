#include "shell/number_format.h"

#include <QLocale>
#include <QStringList>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace tavorin {
namespace {

struct FormatCase {
    double value;
    const char* expected;
};

TEST(FormatGeneralNumber, WritesPlainDecimalsWithoutTrailingZeros) {
    const FormatCase cases[] = {
        {0.9953125, "0.9953125"},
        {1.0, "1"},
        {-1.5, "-1.5"},
        {0.1 + 0.2, "0.3"}, // 0.30000000000000004 at 17 digits
        {2.0 / 3.0, "0.666666666666667"},
        {123456789012345.0, "123456789012345"},
        {99999999999999.9, "99999999999999.9"},
        {999999999999999.9, "1E+15"}, // rounds up into the exponent range
        {0.00001, "0.00001"},
        {0.0000123456789012345, "0.0000123456789012345"},
        {-0.0, "0"},
        {1e15, "1E+15"},
        {1234567890123456.0, "1.23456789012346E+15"},
        {0.000001, "1E-06"},
        {-1.5e-7, "-1.5E-07"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {std::numeric_limits<double>::quiet_NaN(), "NaN"},
        {std::numeric_limits<double>::infinity(), "Infinity"},
        {-std::numeric_limits<double>::infinity(), "-Infinity"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(formatGeneralNumber(c.value), QString::fromLatin1(c.expected));
    }
}

TEST(RoundTo15Digits, LiftsTheWinampDivisionToTheLiteral) {
    // The 44100 Hz frame: 26 whole ms of 26.1224... ms. The plain quotient is one unit in
    // the last place below 0.9953125; fifteen digits bring it back.
    const double frameMs = 1152.0 / (44100.0 / 1000.0);
    const double raw = 26.0 / frameMs;
    EXPECT_NE(raw, 0.9953125);
    EXPECT_EQ(roundTo15Digits(raw), 0.9953125);
    EXPECT_EQ(roundTo15Digits(0.1 + 0.2), 0.3);
    EXPECT_EQ(roundTo15Digits(-(0.1 + 0.2)), -0.3);
    EXPECT_EQ(roundTo15Digits(1.0), 1.0);
    EXPECT_TRUE(std::isnan(roundTo15Digits(std::numeric_limits<double>::quiet_NaN())));
    // Fifteen digits of the largest double lie beyond it.
    EXPECT_EQ(roundTo15Digits(std::numeric_limits<double>::max()),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(roundTo15Digits(-std::numeric_limits<double>::max()),
              -std::numeric_limits<double>::infinity());
}

struct ParseCase {
    const char16_t* text;
    std::optional<double> expected;
};

TEST(ParseDecimal, ReadsPlainAndExponentDecimals) {
    const ParseCase cases[] = {
        {u"12.5", 12.5},    {u"+7", 7.0},      {u".5", 0.5},
        {u"5.", 5.0},       {u"-.25", -0.25},  {u"0.9953125", 0.9953125},
        {u"000123", 123.0}, {u"1e300", 1e300}, {u"9.953125E-01", 0.9953125},
        {u"1e-400", 0.0}, // too small for a double: zero, not an error
    };
    for (const ParseCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(parseDecimal(text), c.expected);
    }
}

TEST(ParseDecimal, RejectsEverythingButADecimal) {
    const char16_t* const texts[] = {
        u"",    u"abc",  u"-",    u".",     u"1.2.3",    u"1,5",     u"1 000", u" 1",
        u"1 ",  u"0x10", u"&H10", u"inf",   u"NaN",      u"1e",      u"1e+",   u"e5",
        u"+-1", u"12a",  u"１２", u"1e400", u"Infinity", u"1\u00A0",
    };
    for (const char16_t* t : texts) {
        const QString text = QString::fromUtf16(t);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(parseDecimal(text), std::nullopt);
    }
    // Just past the largest double, and out of range by digits alone: too large gives nothing,
    // too small reads as zero.
    EXPECT_EQ(parseDecimal(QStringLiteral("1.7976931348623159e308")), std::nullopt);
    EXPECT_EQ(parseDecimal(QString(400, u'9')), std::nullopt);
    EXPECT_EQ(parseDecimal(QStringLiteral("-0.") + QString(400, u'0') + u'1'), -0.0);
}

// What the writer writes, the reader reads back as the 15-digit value.
TEST(GeneralNumberProperty, FormatThenParseGivesTheRoundedValue) {
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 300);
    for (int i = 0; i < 5000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        const QString text = formatGeneralNumber(value);
        SCOPED_TRACE(text.toStdString());
        const std::optional<double> back = parseDecimal(text);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, roundTo15Digits(value));
        EXPECT_EQ(formatGeneralNumber(*back), text);
        EXPECT_FALSE(text.contains(u','));
    }
}

// Restores the process locale and Qt's default locale however the test ends.
struct LocaleGuard {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    QLocale savedQt;
    ~LocaleGuard() {
        std::setlocale(LC_ALL, saved.c_str());
        QLocale::setDefault(savedQt);
    }
};

// Every result in a locale-independent form (QString::number always writes the C form).
QStringList numberResults() {
    QStringList results;
    for (const double v : {0.9953125, 1.5, -2.25, 1234.5678, 1e-7, 3e20, 1.0 / 3.0}) {
        results << formatGeneralNumber(v) << QString::number(roundTo15Digits(v), 'g', 17);
    }
    for (const char16_t* t : {u"0.9953125", u"1.5", u"-2.25", u"1,5", u"1.234,5", u"1e3"}) {
        const std::optional<double> parsed = parseDecimal(QString::fromUtf16(t));
        results << (parsed ? QString::number(*parsed, 'g', 17) : QStringLiteral("none"));
    }
    return results;
}

TEST(GeneralNumber, IgnoresTheGermanLocale) {
    LocaleGuard guard;
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    const QStringList inC = numberResults();
    EXPECT_EQ(inC[2], QStringLiteral("1.5"));
    EXPECT_EQ(inC[17], QStringLiteral("none")); // "1,5"

    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (Debian package locales-all)";
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(numberResults(), inC);
}

} // namespace
} // namespace tavorin
