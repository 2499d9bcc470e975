#include "app/lyrics_file_list_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>

namespace tavorin::test {
namespace {

// Thousands of paths wider than the list: the sideways bar must settle instead of being hidden
// by the view and shown again by the extent, a loop that used to overflow the stack.
TEST(LyricsFileListScrollTest, ManyLongPathsSettleTheSidewaysBar) {
    struct Case {
        int width;
        int height;
        int paths;
    };
    const Case cases[] = {{281, 130, 2000}, {300, 115, 500}, {150, 60, 3000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paths);
        LyricsFileListWidget list;
        list.setFixedSize(c.width, c.height);
        list.show();
        for (int i = 0; i < c.paths; ++i) {
            list.addPath(QStringLiteral("/home/user/karaoke/folder%1/lyrics%2.txt")
                             .arg(i / 100, 3, 10, QLatin1Char('0'))
                             .arg(i, 5, 10, QLatin1Char('0')));
            if (i % 250 == 0) {
                QApplication::processEvents();
            }
        }
        QApplication::processEvents();
        ASSERT_EQ(list.count(), c.paths);
        EXPECT_TRUE(list.horizontalScrollBar()->isVisible());
        EXPECT_EQ(list.horizontalScrollBar()->maximum(),
                  list.horizontalExtent() - list.viewport()->width());
    }
}

} // namespace
} // namespace tavorin::test
