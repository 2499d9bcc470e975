#include "shell/number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

// Everything here goes through std::to_chars / std::from_chars, which never look at the
// process locale: a German desktop must write and read "0.9953125", never "0,9953125".

namespace tavorin {

namespace {

// A finite, non-zero double as its 15 significant digits (trailing zeros dropped) and the
// decimal exponent of the first digit: 0.9953125 -> {"9953125", -1}.
struct Digits15 {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Digits15 digits15(double value) {
    // "-d.dddddddddddddde+XXX": sign, 15 digits, exponent of up to three digits.
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, 14);
    const std::string text(buffer.data(), result.ptr);

    Digits15 out;
    std::size_t i = 0;
    if (text[i] == '-') {
        out.negative = true;
        ++i;
    }
    const std::size_t ePos = text.find('e', i);
    for (std::size_t j = i; j < ePos; ++j) {
        if (text[j] != '.') {
            out.digits.push_back(text[j]);
        }
    }
    while (out.digits.size() > 1 && out.digits.back() == '0') {
        out.digits.pop_back();
    }
    out.exponent = std::atoi(text.c_str() + ePos + 1);
    return out;
}

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

// Plain decimals for 1e-5 <= |value| < 1e15, the range in which 15 significant digits fit
// without an exponent; beyond it "d.dddE+XX" / "d.dddE-XX" (at least two exponent digits),
// which parseDecimal reads back. Not-a-number and infinities are written "NaN", "Infinity"
// and "-Infinity"; they are never valid At-Tag values and read back as no number.
QString formatGeneralNumber(double value) {
    if (std::isnan(value)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    }
    if (value == 0.0) {
        return QStringLiteral("0"); // also for -0
    }

    const Digits15 d = digits15(value);
    std::string out;
    if (d.negative) {
        out.push_back('-');
    }
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent >= -5 && d.exponent <= 14) {
        if (d.exponent >= 0) {
            const int intDigits = d.exponent + 1;
            for (int k = 0; k < intDigits; ++k) {
                out.push_back(k < count ? d.digits[static_cast<std::size_t>(k)] : '0');
            }
            if (count > intDigits) {
                out.push_back('.');
                out.append(d.digits, static_cast<std::size_t>(intDigits), std::string::npos);
            }
        } else {
            out.append("0.");
            out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
            out.append(d.digits);
        }
    } else {
        out.push_back(d.digits[0]);
        if (count > 1) {
            out.push_back('.');
            out.append(d.digits, 1, std::string::npos);
        }
        out.push_back('E');
        out.push_back(d.exponent < 0 ? '-' : '+');
        const int magnitude = std::abs(d.exponent);
        if (magnitude < 10) {
            out.push_back('0');
        }
        out.append(std::to_string(magnitude));
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

// A result whose 15-digit form lies beyond the largest double (only values within a hair of
// it) becomes an infinity of the same sign, as the IEEE rounding of that decimal would.
double roundTo15Digits(double value) {
    if (!std::isfinite(value) || value == 0.0) {
        return value;
    }
    std::array<char, 32> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::scientific, 14);
    const char* first = buffer.data();
    const bool negative = *first == '-';
    if (negative) {
        ++first; // from_chars is told the magnitude; the sign is put back below
    }
    double magnitude = 0.0;
    const auto read = std::from_chars(first, written.ptr, magnitude);
    if (read.ec == std::errc::result_out_of_range) {
        magnitude = HUGE_VAL;
    }
    return negative ? -magnitude : magnitude;
}

// Accepted: [+|-] digits [. [digits]] | [+|-] . digits, then optionally e|E [+|-] digits.
// Rejected: spaces anywhere, thousands separators, ",", hexadecimal, full-width digits,
// "inf", "nan". The exponent form is read because other tools write ratios that way and the
// general number format itself uses it for extreme magnitudes. A value too small for a
// double reads as 0 of its sign; one too large gives nothing.
std::optional<double> parseDecimal(QStringView text) {
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        if (c.unicode() > 0x7F) {
            return std::nullopt;
        }
        ascii.push_back(static_cast<char>(c.unicode()));
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) {
        negative = ascii[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    std::size_t intDigits = 0;
    while (i < ascii.size() && isAsciiDigit(ascii[i])) {
        ++i;
        ++intDigits;
    }
    std::size_t fracDigits = 0;
    if (i < ascii.size() && ascii[i] == '.') {
        ++i;
        while (i < ascii.size() && isAsciiDigit(ascii[i])) {
            ++i;
            ++fracDigits;
        }
    }
    if (intDigits + fracDigits == 0) {
        return std::nullopt;
    }
    if (i < ascii.size() && (ascii[i] == 'e' || ascii[i] == 'E')) {
        ++i;
        if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) {
            ++i;
        }
        std::size_t expDigits = 0;
        while (i < ascii.size() && isAsciiDigit(ascii[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != ascii.size()) {
        return std::nullopt;
    }

    const char* first = ascii.data() + mantissaStart;
    const char* last = ascii.data() + ascii.size();
    double magnitude = 0.0;
    const auto read = std::from_chars(first, last, magnitude, std::chars_format::general);
    if (read.ec == std::errc::result_out_of_range) {
        // Overflow and underflow both land here; only the value's size tells them apart.
        // A mantissa with any non-zero digit and a large exponent is too big; one whose
        // first non-zero digit sits far below the point is merely tiny.
        long long exponent = 0;
        const std::size_t ePos = ascii.find_first_of("eE", mantissaStart);
        if (ePos != std::string::npos) {
            std::size_t k = ePos + 1;
            const bool expNegative = ascii[k] == '-';
            if (ascii[k] == '+' || ascii[k] == '-') {
                ++k;
            }
            for (; k < ascii.size(); ++k) {
                if (exponent < 1'000'000'000) {
                    exponent = exponent * 10 + (ascii[k] - '0');
                }
            }
            if (expNegative) {
                exponent = -exponent;
            }
        }
        // Decimal exponent of the first non-zero digit, ignoring the explicit exponent.
        long long lead = 0;
        const std::size_t end = ePos == std::string::npos ? ascii.size() : ePos;
        std::size_t k = mantissaStart;
        while (k < end && (ascii[k] == '0' || ascii[k] == '.')) {
            ++k;
        }
        const std::size_t point = ascii.find('.', mantissaStart);
        const std::size_t pointPos = point == std::string::npos || point > end ? end : point;
        if (k < pointPos) {
            lead = static_cast<long long>(pointPos - k) - 1;
        } else {
            lead = -static_cast<long long>(k - pointPos);
        }
        if (lead + exponent > 0) {
            return std::nullopt;
        }
        magnitude = 0.0;
    } else if (read.ec != std::errc() || read.ptr != last) {
        return std::nullopt;
    }
    return negative ? -magnitude : magnitude;
}

} // namespace tavorin
