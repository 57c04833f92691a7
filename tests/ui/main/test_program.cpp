// The program's windows as a whole: created in order, wired together, and
// taken down so that the tally reaches its file.
#include <QFile>
#include <algorithm>

#include "mainwindow_fixture.h"
#include "ui/controls/LbBack.h"
#include "ui/help/aboutform.h"
#include "ui/help/helpform.h"
#include "ui/highscore/highscoreform.h"
#include "ui/main/program.h"
#include "ui/tally/tallylistform.h"

TEST_F(MainWindowTest, ThePlayersGameReachesTheTallyFileWhenTheProgramEnds) {
    quintelle::platform::setExecutableFolder(folder());
    quintelle::platform::installSoundBackend(
        std::make_unique<SoundRecorder>(std::make_shared<std::vector<QString>>()));
    const QString tallyPath = folder() + QStringLiteral("/quintelletally.tld");
    {
        quintelle::ui::ProgramWindows program;
        ASSERT_NE(program.tallylist(), nullptr);
        ASSERT_NE(program.about(), nullptr);
        ASSERT_NE(program.help(), nullptr);
        Tmain& main = program.main();
        // The other windows take the main window's tile.
        EXPECT_EQ(program.about()->findChild<TLbBackground*>()->image(), main.backgroundTile());

        main.button_startClick();
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 5; ++c) main.game().place(r * 10 + c);
        main.game().place(11);
        ASSERT_FALSE(main.game().dealing());
        EXPECT_EQ(program.tallylist()->model().statistic(1), "1");
        EXPECT_FALSE(QFile::exists(tallyPath)) << "the tally is written only at the end";
    }
    ASSERT_TRUE(QFile::exists(tallyPath));

    quintelle::ui::ProgramWindows again;
    EXPECT_EQ(again.tallylist()->model().statistic(1), "1");
}

// Most games never open the help or the high scores: those windows are made
// when first asked for, once, and then kept.
TEST_F(MainWindowTest, TheHelpAndHighScoreWindowsAreMadeWhenFirstAskedFor) {
    quintelle::platform::setExecutableFolder(folder());
    quintelle::platform::installSoundBackend(
        std::make_unique<SoundRecorder>(std::make_shared<std::vector<QString>>()));
    writeIni({QStringLiteral("Update=false")});
    const auto made = [](const char* className) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::count_if(windows.begin(), windows.end(),
                             [className](QWidget* w) { return w->inherits(className); });
    };
    quintelle::ui::ProgramWindows program;
    EXPECT_EQ(made("Thelp"), 0);
    EXPECT_EQ(made("Thighscore"), 0);
    QAction* viewList = program.main().findChild<QAction*>(QStringLiteral("ViewHighScoreList1"));
    ASSERT_NE(viewList, nullptr);
    EXPECT_TRUE(viewList->isEnabled());

    QAction* help = program.main().findChild<QAction*>(QStringLiteral("Help2"));
    ASSERT_NE(help, nullptr);
    help->trigger();
    help->trigger();
    ASSERT_EQ(made("Thelp"), 1);
    EXPECT_TRUE(program.help()->isVisible());

    Thighscore* list = program.highscore();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(program.highscore(), list);
    EXPECT_EQ(made("Thighscore"), 1);
}
