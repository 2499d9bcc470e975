#include "app/form_about.h"
#include "wizard_test_support.h"

#include <QLabel>
#include <QMouseEvent>

namespace tavorin::test {
namespace {

TEST(FormAboutTest, EngineVersionIsShownInHundredths) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {300, "FakeEngine 3.00"}, {245, "FakeEngine 2.45"}, {5, "FakeEngine 0.05"}};
    for (const auto& [version, shown] : cases) {
        FakePlaybackEngine engine;
        engine.engineVersion = version;
        FakeShellServices shell;
        EXPECT_EQ(FormAbout(engine, shell).label4->text(), QString::fromUtf8(shown));
    }
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& point, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(point), target->mapToGlobal(QPointF(point)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

// Presses at a point of the picture, moves on by the same offset (the picture's centre has
// followed the mouse meanwhile), lets go.
void drag(QWidget* picture, const QPoint& pointInPicture) {
    sendMouse(picture, QEvent::MouseButtonPress, pointInPicture, Qt::LeftButton);
    sendMouse(picture, QEvent::MouseMove, pointInPicture, Qt::LeftButton);
    sendMouse(picture, QEvent::MouseButtonRelease, pointInPicture, Qt::NoButton);
}

void clickLink(QLabel* label) {
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(4, label->height() / 2));
}

class SlideTest : public ::testing::Test {
protected:
    void SetUp() override { about.show(); }
    void slideHome() {
        while (about.isSliding()) {
            about.slideTick();
        }
    }

    FakePlaybackEngine engine;
    FakeShellServices shell;
    FormAbout about{engine, shell};
};

TEST_F(SlideTest, PictureWaitsThenSlidesHomeAndOnlyThenTakesClicks) {
    const int home = about.homeLeft();
    EXPECT_EQ(about.image1->x(), about.width());
    about.slideTick(); // ends the pause only
    EXPECT_EQ(about.image1->x(), about.width());
    int previous = about.image1->x();
    for (int tick = 1; tick < 30; ++tick) {
        about.slideTick();
        EXPECT_LE(about.image1->x(), previous) << tick;
        EXPECT_GT(about.image1->x(), home) << tick;
        previous = about.image1->x();
    }
    // Nothing to drag or follow while sliding.
    const QPoint before = about.image1->pos();
    drag(about.image1, QPoint(-500, -500));
    EXPECT_EQ(about.image1->pos(), before);
    clickLink(about.label6);
    EXPECT_TRUE(shell.openedUrls.isEmpty());
    EXPECT_TRUE(about.comClose->isHidden());

    about.slideTick();
    EXPECT_FALSE(about.isSliding());
    EXPECT_EQ(about.image1->x(), home);
    EXPECT_FALSE(about.comClose->isHidden());
    about.slideTick(); // a late tick changes nothing
    EXPECT_EQ(about.image1->x(), home);

    // The home page link opens the address and closes the box.
    clickLink(about.label6);
    EXPECT_EQ(shell.openedUrls, QList<QUrl>{QUrl(FormAbout::homePage())});
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(SlideTest, DraggedPictureFollowsTheMouseAndStopsFlushWithEachEdge) {
    slideHome();
    const int maxLeft = about.width() - about.image1->width();
    const int maxTop = about.height() - about.image1->height();
    struct Case {
        QPoint offset; // from the picture's own corner
        QPoint expected;
    };
    const Case cases[] = {
        {{-1000, 32}, {0, 50}},      {{1000, 32}, {maxLeft, 50}}, {{32, -1000}, {100, 0}},
        {{32, 1000}, {100, maxTop}}, {{-1000, -1000}, {0, 0}},    {{42, 40}, {120, 66}},
    };
    for (const Case& c : cases) {
        about.image1->move(100, 50);
        drag(about.image1, c.offset);
        EXPECT_EQ(about.image1->pos(), c.expected) << c.offset.x() << "," << c.offset.y();
    }
    // Moving without the left button held does not drag.
    sendMouse(about.image1, QEvent::MouseMove, QPoint(0, 0), Qt::NoButton);
    EXPECT_EQ(about.image1->pos(), QPoint(120, 66));
}

} // namespace
} // namespace tavorin::test
