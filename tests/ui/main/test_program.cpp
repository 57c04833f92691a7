// The program's windows as a whole: created in order, wired together, and
// taken down so that the tally reaches its file.
#include <QFile>

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
