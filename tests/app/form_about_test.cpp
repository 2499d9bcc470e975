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

TEST(FormAboutTest, PictureSlidesHomeThenFollowsDragsInsideTheBoxAndTheLinkOpens) {
    FakePlaybackEngine engine;
    FakeShellServices shell;
    FormAbout about(engine, shell);
    about.show();
    QWidget* picture = about.image1;
    const int home = about.homeLeft();
    about.slideTick(); // ends the pause only
    EXPECT_EQ(picture->x(), about.width());
    for (int tick = 1; tick < 30; ++tick) {
        const int before = picture->x();
        about.slideTick();
        EXPECT_TRUE(picture->x() <= before && picture->x() > home) << tick;
    }
    // Nothing to drag or follow while sliding.
    const QPoint sliding = picture->pos();
    drag(picture, QPoint(-500, -500));
    QTest::mouseClick(about.label6, Qt::LeftButton, {}, QPoint(4, about.label6->height() / 2));
    EXPECT_EQ(picture->pos(), sliding);
    EXPECT_TRUE(shell.openedUrls.isEmpty());
    EXPECT_TRUE(about.comClose->isHidden());
    about.slideTick();
    about.slideTick(); // a late tick changes nothing
    EXPECT_EQ(picture->x(), home);
    EXPECT_FALSE(about.comClose->isHidden());

    const int maxLeft = about.width() - picture->width();
    const int maxTop = about.height() - picture->height();
    const std::pair<QPoint, QPoint> dragCases[] = {
        {{-1000, 32}, {0, 50}},      {{1000, 32}, {maxLeft, 50}}, {{32, -1000}, {100, 0}},
        {{32, 1000}, {100, maxTop}}, {{-1000, -1000}, {0, 0}},    {{42, 40}, {120, 66}},
    };
    for (const auto& [offset, expected] : dragCases) {
        picture->move(100, 50);
        drag(picture, offset);
        EXPECT_EQ(picture->pos(), expected) << offset.x() << "," << offset.y();
    }
    sendMouse(picture, QEvent::MouseMove, QPoint(0, 0), Qt::NoButton);
    EXPECT_EQ(picture->pos(), QPoint(120, 66));

    QTest::mouseClick(about.label6, Qt::LeftButton, {}, QPoint(4, about.label6->height() / 2));
    EXPECT_EQ(shell.openedUrls, QList<QUrl>{QUrl(FormAbout::homePage())});
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

} // namespace
} // namespace tavorin::test
