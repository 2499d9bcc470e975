#include "run/correction_mode.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavorin {
namespace {

constexpr double winamp = 0.9953125;
constexpr std::int32_t maxTime = std::numeric_limits<std::int32_t>::max();

// The plain conversions and shifts are mode cases; here the edges of the arithmetic.
TEST(CorrectTagTime, ConvertsShiftsAndRoundsHalfToEven) {
    const struct {
        const char* what;
        std::int32_t time;
        TimeCorrection correction; // file ratio, song ratio, shift, file silence, song silence
        std::optional<std::int32_t> expected;
    } cases[] = {
        {"Winamp to Standard", 59710, {winamp, 1.0, false, 0, 0}, 59991},
        {"silence shift clamps at 0", 50, {1.0, 1.0, true, 200, 0}, 0},
        {"shift happens in Standard Time", 1000, {0.5, 1.0, true, 500, 0}, 1500},
        {"half goes down to even", 5, {1.0, 0.5, false, 0, 0}, 2},
        {"half goes up to even", 3, {1.0, 0.5, false, 0, 0}, 2},
        {"beyond 32 bits", maxTime, {0.5, 1.0, false, 0, 0}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(correctTagTime(c.time, c.correction), c.expected) << c.what;
    }
}

TEST(CorrectTagTime, OnlyRealTimeBasesArePlausible) {
    for (const double ratio : {1.0, winamp, 0.5, 2.0}) {
        EXPECT_TRUE(isPlausibleTimeRatio(ratio)) << ratio;
    }
    for (const double ratio : {0.0, -1.0, 0.49, 2.01, 1e300}) {
        EXPECT_FALSE(isPlausibleTimeRatio(ratio)) << ratio;
    }
}

} // namespace
} // namespace tavorin
