#include "app/form_about.h"
#include "wizard_test_support.h"

#include <QLabel>

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

} // namespace
} // namespace tavorin::test
