#include "app/lyrics_file_list_widget.h"
#include "wizard_test_support.h"

#include <QScrollBar>

namespace tavorin::test {
namespace {

// Thousands of paths wider than the list: the sideways bar settles instead of being hidden by
// the view and shown again by the extent (a loop that overflowed the stack), and reaches as far
// as the widest path since the list was last cleared.
TEST(LyricsFileListWidgetTest, ManyLongPathsSettleTheSidewaysBar) {
    for (const QSize size : {QSize(281, 130), QSize(300, 115), QSize(150, 60)}) {
        LyricsFileListWidget list;
        list.setFixedSize(size);
        list.show();
        for (int i = 0; i < 2000; ++i) {
            list.addPath(QStringLiteral("/home/user/karaoke/folder%1/lyrics%2.txt")
                             .arg(i / 100, 3, 10, QLatin1Char('0'))
                             .arg(i, 5, 10, QLatin1Char('0')));
        }
        list.addPath(QStringLiteral("/a.txt"));
        QApplication::processEvents();
        QScrollBar* bar = list.horizontalScrollBar();
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(bar->maximum(), list.horizontalExtent() - list.viewport()->width());
        list.clearFiles();
        list.addPath(QStringLiteral("/b.txt"));
        EXPECT_EQ(bar->maximum(), 0);
    }
}

} // namespace
} // namespace tavorin::test
