#include "song/time_base.h"

#include "shell/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tavorin {
namespace {

TEST(WinampRatio, GivesTheLiteralRatioForThe44100Family) {
    for (const std::int32_t rate : {44100, 22050, 11025}) {
        SCOPED_TRACE(rate);
        const double ratio = winampRatio(rate, 1152);
        // Exactly the double of the literal, so exact comparisons with a stated ratio and
        // with the default Winamp ratio hold.
        EXPECT_EQ(ratio, 0.9953125);
        EXPECT_EQ(ratio, defaultWinampRatio);
        EXPECT_EQ(formatGeneralNumber(ratio), QStringLiteral("0.9953125"));
    }
}

TEST(WinampRatio, IsOneWhereAFrameLastsWholeMilliseconds) {
    for (const std::int32_t rate : {48000, 32000, 24000, 16000, 12000, 8000}) {
        SCOPED_TRACE(rate);
        EXPECT_EQ(winampRatio(rate, 1152), 1.0);
    }
}

TEST(WinampRatio, StaysFiniteForRatesNoSongHas) {
    // No rate gives a division by zero or a 16-bit overflow of the whole milliseconds.
    EXPECT_EQ(winampRatio(0, 1152), defaultWinampRatio); // unknown rate: 44100 Hz
    EXPECT_EQ(winampRatio(-44100, 1152), defaultWinampRatio);
    EXPECT_EQ(winampRatio(30, 1152), 1.0); // 38400 ms frames
    EXPECT_EQ(winampRatio(1, 1152), 1.0);
    EXPECT_EQ(winampRatio(44100, 0), defaultWinampRatio);
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
        // A 300-second song at each standard rate.
        {12500, 300, 48000},
        {11484, 300, 44100},
        {8333, 300, 32000},
        {6250, 300, 24000},
        {5742, 300, 22050},
        {4167, 300, 16000},
        {3125, 300, 12000},
        {2871, 300, 11025},
        {2083, 300, 8000},
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
