#include "song/time_base.h"
#include "song_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tavorin {
namespace {

// Ratios are compared as exact doubles: a lyrics file's stated ratio must equal the measured one.
TEST(TimeBaseTest, WinampRatiosAndSampleRateEstimates) {
    const auto rows = test::readTable(QStringLiteral("song/time_bases.tsv"));
    ASSERT_GE(rows.size(), 30u);
    for (const QStringList& row : rows) {
        SCOPED_TRACE(row.join(QLatin1Char(' ')).toStdString());
        if (row[0] == QStringLiteral("winamp_ratio")) {
            EXPECT_EQ(winampRatio(row[1].toInt(), static_cast<std::int16_t>(row[2].toInt())),
                      row[3].toDouble());
        } else {
            EXPECT_EQ(sampleRateEstimate(row[1].toInt(), row[2].toInt()), row[3].toInt());
        }
    }
    const double huge = winampRatio(std::numeric_limits<std::int32_t>::max(), 1152);
    EXPECT_TRUE(std::isfinite(huge) && huge >= 0.0 && huge < 1.0);
}

} // namespace
} // namespace tavorin
