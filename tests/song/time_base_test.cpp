#include "song/time_base.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tavorin {
namespace {

TEST(WinampRatio, IsTheLiteralFor44100FamilyOneForWholeMillisecondFramesAndAlwaysFinite) {
    // Exactly the double of the literal, so exact comparisons with a stated ratio hold. No rate
    // gives a division by zero or a 16-bit overflow of the whole milliseconds: an unknown rate
    // is 44100 Hz, and 30 Hz makes 38400 ms frames.
    const struct {
        std::int32_t rate;
        std::int16_t samples;
        double ratio;
    } cases[] = {
        {44100, 1152, 0.9953125}, {22050, 1152, 0.9953125},  {11025, 1152, 0.9953125},
        {48000, 1152, 1.0},       {32000, 1152, 1.0},        {24000, 1152, 1.0},
        {16000, 1152, 1.0},       {12000, 1152, 1.0},        {8000, 1152, 1.0},
        {0, 1152, 0.9953125},     {-44100, 1152, 0.9953125}, {30, 1152, 1.0},
        {1, 1152, 1.0},           {44100, 0, 0.9953125},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.samples << " samples");
        EXPECT_EQ(winampRatio(c.rate, c.samples), c.ratio);
    }
    const double huge = winampRatio(std::numeric_limits<std::int32_t>::max(), 1152);
    EXPECT_TRUE(std::isfinite(huge));
    EXPECT_GE(huge, 0.0);
    EXPECT_LT(huge, 1.0);
}

struct EstimateCase {
    std::int32_t frames;
    std::int32_t totalSeconds;
    std::int32_t expected;
};

TEST(SampleRateEstimate, PicksTheStandardRateOfTheFrameLength) {
    const EstimateCase cases[] = {
        {0, 261, 44100},
        {10000, 0, 44100},
        {0, 0, 44100},
        {10000, 261, 44100}, // 26.1 ms per frame: e = 44137
        // Over 1152 seconds the estimate is the frame count itself: the bounds.
        {46050, 1152, 44100},
        {46051, 1152, 48000},
        {38050, 1152, 32000},
        {38051, 1152, 44100},
        {27999, 1152, 24000},
        {28001, 1152, 32000},
        {23025, 1152, 22050},
        {23026, 1152, 24000},
        {19025, 1152, 16000},
        {19026, 1152, 22050},
        {13999, 1152, 12000},
        {14001, 1152, 16000},
        {11512, 1152, 11025},
        {11513, 1152, 12000},
        {9512, 1152, 8000},
        {9513, 1152, 11025},
        // Nonsense from a damaged file gives a rate, not a crash or an overflow.
        {std::numeric_limits<std::int32_t>::max(), 1, 48000},
        {1, std::numeric_limits<std::int32_t>::max(), 8000},
        {-10000, 261, 8000},
        {std::numeric_limits<std::int32_t>::min(), -1, 48000},
    };
    for (const EstimateCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << " frames, " << c.totalSeconds << " s");
        EXPECT_EQ(sampleRateEstimate(c.frames, c.totalSeconds), c.expected);
    }
}

} // namespace
} // namespace tavorin
