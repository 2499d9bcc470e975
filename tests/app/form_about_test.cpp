#include "app/form_about.h"
#include "wizard_test_support.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace tavorin::test {
namespace {

TEST(FormAboutTest, ShowsTheProgramAndEngineVersions) {
    struct Case {
        std::int32_t engineVersion;
        const char* shown;
    };
    const Case cases[] = {{245, "FakeEngine 2.45"}, {5, "FakeEngine 0.05"}, {0, "FakeEngine 0.00"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.engineVersion);
        FakePlaybackEngine engine;
        engine.engineVersion = c.engineVersion;
        FakeShellServices shell;
        FormAbout about(engine, shell);
        EXPECT_EQ(about.label3->text(), QStringLiteral("Version 0.2"));
        EXPECT_EQ(about.label4->text(), QString::fromUtf8(c.shown));
    }
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& point, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(point), target->mapToGlobal(QPointF(point)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

// Presses at a point of the picture, moves on by the same offset, lets go.
void drag(QWidget* picture, const QPoint& pointInPicture) {
    sendMouse(picture, QEvent::MouseButtonPress, pointInPicture, Qt::LeftButton, Qt::LeftButton);
    sendMouse(picture, QEvent::MouseMove, pointInPicture, Qt::NoButton, Qt::LeftButton);
    sendMouse(picture, QEvent::MouseButtonRelease, pointInPicture, Qt::LeftButton, Qt::NoButton);
}

class SlideTest : public ::testing::Test {
protected:
    FakePlaybackEngine engine;
    FakeShellServices shell;
    FormAbout about{engine, shell};
};

TEST_F(SlideTest, PictureWaitsThenSlidesHomeAndOnlyThenTakesClicks) {
    about.show();
    const int home = about.homeLeft();
    EXPECT_EQ(about.image1->x(), about.width());
    EXPECT_EQ(about.timer1->interval(), 1000);

    // The first tick only ends the pause.
    about.slideTick();
    EXPECT_EQ(about.image1->x(), about.width());
    EXPECT_EQ(about.timer1->interval(), 1);

    int previous = about.image1->x();
    for (int tick = 1; tick < 30; ++tick) {
        about.slideTick();
        EXPECT_LE(about.image1->x(), previous) << tick;
        EXPECT_GT(about.image1->x(), home) << tick;
        previous = about.image1->x();
        EXPECT_TRUE(about.isSliding());
    }
    // Nothing to drag or follow while sliding.
    const QPoint before = about.image1->pos();
    drag(about.image1, QPoint(-500, -500));
    EXPECT_EQ(about.image1->pos(), before);
    EXPECT_FALSE(about.label6->isEnabled());
    sendMouse(about.label6, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(shell.openedUrls.isEmpty());
    EXPECT_TRUE(about.comClose->isHidden());

    about.slideTick();
    EXPECT_FALSE(about.isSliding());
    EXPECT_EQ(about.image1->x(), home);
    EXPECT_FALSE(about.comClose->isHidden());
    EXPECT_TRUE(about.label6->isEnabled());
    EXPECT_TRUE(about.label6->font().underline());
    EXPECT_EQ(about.label6->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    EXPECT_LT(about.image1->x(), about.width() - 40);
    // A late tick changes nothing.
    about.slideTick();
    EXPECT_EQ(about.image1->x(), home);
}

TEST_F(SlideTest, DraggedPictureStopsFlushWithEachEdge) {
    about.show();
    while (about.isSliding()) {
        about.slideTick();
    }
    const int maxLeft = about.width() - about.image1->width();
    const int maxTop = about.height() - about.image1->height();
    struct Case {
        const char* edge;
        QPoint offset; // from the picture's own corner
        int left;      // -1: not checked
        int top;
    };
    const Case cases[] = {
        {"left", {-1000, 32}, 0, -1},
        {"right", {1000, 32}, maxLeft, -1},
        {"top", {32, -1000}, -1, 0},
        {"bottom", {32, 1000}, -1, maxTop},
        {"top left corner", {-1000, -1000}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edge);
        drag(about.image1, c.offset);
        if (c.left >= 0) {
            EXPECT_EQ(about.image1->x(), c.left);
        }
        if (c.top >= 0) {
            EXPECT_EQ(about.image1->y(), c.top);
        }
    }
    // Inside the window the picture's centre goes to the mouse.
    about.image1->move(100, 50);
    sendMouse(about.image1, QEvent::MouseButtonPress, QPoint(42, 40), Qt::LeftButton,
              Qt::LeftButton);
    sendMouse(about.image1, QEvent::MouseButtonRelease, QPoint(42, 40), Qt::LeftButton,
              Qt::NoButton);
    EXPECT_EQ(about.image1->pos(), QPoint(100 + 42 - 32, 50 + 40 - 32));

    // Moving without the left button held does not drag.
    sendMouse(about.image1, QEvent::MouseMove, QPoint(0, 0), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(about.image1->pos(), QPoint(110, 58));
}

TEST_F(SlideTest, HomePageLinkOpensTheAddressAndClosesTheBox) {
    about.show();
    while (about.isSliding()) {
        about.slideTick();
    }
    QTest::mouseClick(about.label6, Qt::LeftButton);
    ASSERT_EQ(shell.openedUrls.size(), 1);
    EXPECT_EQ(shell.openedUrls.front(), QUrl(FormAbout::homePage()));
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

} // namespace
} // namespace tavorin::test
