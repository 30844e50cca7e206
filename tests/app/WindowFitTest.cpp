#include "app/WindowFit.h"
#include "tests/support/MainWindowFixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QScreen>

// A window restored from the settings file is fitted into the screen and never goes below the
// size at which its layout applies.
namespace {

struct FitCase
{
    QRect outer;
    QRect expected;
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << c.outer.x() << ',' << c.outer.y() << ' ' << c.outer.width() << 'x' << c.outer.height();
}

class FitWindowRectTest : public ::testing::TestWithParam<FitCase>
{
};

TEST_P(FitWindowRectTest, LiesInsideTheAreaAndKeepsTheMinimum)
{
    const QRect available(0, 30, 1000, 700);
    EXPECT_EQ(FitWindowRect(GetParam().outer, available, QSize(300, 200)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitWindowRectTest,
    ::testing::Values(FitCase{QRect(10, 40, 500, 400), QRect(10, 40, 500, 400)},     // fits: untouched
                      FitCase{QRect(0, 0, 4000, 3000), QRect(0, 30, 1000, 700)},     // larger than the area
                      FitCase{QRect(900, 600, 500, 400), QRect(500, 330, 500, 400)}, // off the bottom right
                      FitCase{QRect(-800, -90, 500, 400), QRect(0, 30, 500, 400)},   // off the top left
                      FitCase{QRect(50, 50, 100, 80), QRect(50, 50, 300, 200)}));    // below the minimum

TEST(FitWindowRectTest, AnAreaSmallerThanTheMinimumKeepsTheTopLeftCornerInside)
{
    EXPECT_EQ(FitWindowRect(QRect(-50, 900, 800, 600), QRect(0, 0, 200, 100), QSize(300, 200)),
              QRect(0, 0, 300, 200));
}

class RestoredWindow : public MainWindowFixture, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(RestoredWindow, OpensInsideTheScreenWithEveryControlReachable)
{
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam());
    file.close();
    frmMain& w = loadWindow();
    w.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();

    const QRect screen = w.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w.frameGeometry())) << w.frameGeometry().x() << "," << w.frameGeometry().y();
    for (QWidget* control : w.findChildren<QWidget*>()) {
        if (control->isVisible() && !control->isWindow()) {
            const QRect global(control->mapToGlobal(QPoint(0, 0)), control->size());
            EXPECT_TRUE(screen.contains(global)) << control->objectName().toStdString();
        }
    }
    // Never below the size at which the layout applies, so one connection group shows.
    EXPECT_GE(w.client->width(), 634);
    EXPECT_GE(w.client->height(), 427);
    EXPECT_TRUE(w.fraGeneral->isVisible());
    EXPECT_FALSE(w.fraBRAKKA->isVisible());
}

// In twips: 4000 x 3000 pixels, a place beyond the screen's bottom right, above its top left,
// and a size below the minimum.
INSTANTIATE_TEST_SUITE_P(
    Settings, RestoredWindow,
    ::testing::Values("[Form]\r\nTop=0\r\nLeft=0\r\nWidth=60000\r\nHeight=45000\r\n",
                      "[Form]\r\nTop=30000\r\nLeft=45000\r\nWidth=9630\r\nHeight=7110\r\n",
                      "[Form]\r\nTop=-9000\r\nLeft=-20000\r\nWidth=12000\r\nHeight=9000\r\n",
                      "[Form]\r\nTop=1500\r\nLeft=1500\r\nWidth=3000\r\nHeight=2000\r\n"));

} // namespace
