#include "run/correction_mode.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavorin {
namespace {

constexpr double winamp = 0.9953125;
constexpr std::int32_t maxTime = std::numeric_limits<std::int32_t>::max();

TEST(CorrectTagTime, ConvertsShiftsAndRoundsHalfToEven) {
    const struct {
        const char* what;
        std::int32_t time;
        TimeCorrection correction; // file ratio, song ratio, shift, file silence, song silence
        std::optional<std::int32_t> expected;
    } cases[] = {
        {"Standard to Winamp", 60000, {1.0, winamp, false, 0, 0}, 59719},
        {"Winamp to Standard", 59710, {winamp, 1.0, false, 0, 0}, 59991},
        {"short tag value", 62000, {1.0, winamp, false, 0, 0}, 61709},
        {"silence shift later", 1000, {1.0, 1.0, true, 100, 150}, 1050},
        {"silence shift clamps at 0", 50, {1.0, 1.0, true, 200, 0}, 0},
        {"shift off ignores silences", 1000, {1.0, 1.0, false, 100, 150}, 1000},
        {"shift happens in Standard Time", 1000, {0.5, 1.0, true, 500, 0}, 1500},
        {"half goes down to even", 5, {1.0, 0.5, false, 0, 0}, 2},
        {"half goes up to even", 3, {1.0, 0.5, false, 0, 0}, 2},
        {"500.5 goes to 500", 1001, {2.0, 1.0, false, 0, 0}, 500},
        {"beyond 32 bits", maxTime, {0.5, 1.0, false, 0, 0}, std::nullopt},
        {"shift beyond 32 bits", 1000, {1.0, 1.0, true, 0, maxTime}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(correctTagTime(c.time, c.correction), c.expected) << c.what;
    }
}

TEST(CorrectTagTime, OnlyRealTimeBasesArePlausible) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        double ratio;
        bool plausible;
    } cases[] = {
        {1.0, true},   {winamp, true}, {0.5, true},    {2.0, true},  {0.0, false},
        {-1.0, false}, {0.001, false}, {1e300, false}, {nan, false}, {infinity, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isPlausibleTimeRatio(c.ratio), c.plausible) << c.ratio;
    }
}

} // namespace
} // namespace tavorin
