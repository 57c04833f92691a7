// Plays scripted games in the real windows and saves what a player would see
// at each step, so layout and art can be judged from the pictures:
//   QT_QPA_PLATFORM=offscreen quintelle_screenshots <folder> [board scale]
#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "net/server.h"
#include "platform/appdir.h"
#include "platform/dates.h"
#include "platform/sound.h"
#include "tools/localvendor.h"
#include "ui/controls/ButtonComps.h"
#include "ui/help/aboutform.h"
#include "ui/help/helpform.h"
#include "ui/highscore/highscoreform.h"
#include "ui/highscore/htmlviewer.h"
#include "ui/main/application.h"
#include "ui/main/boardscale.h"
#include "ui/main/boardview.h"
#include "ui/main/mainform.h"
#include "ui/main/program.h"
#include "ui/main/updateoffer.h"
#include "ui/statistics/expertplay.h"
#include "ui/statistics/statistics.h"
#include "ui/statistics/statisticsform.h"
#include "ui/tally/tallylistform.h"

namespace {

struct Silence : quintelle::platform::SoundBackend {
    void play(const QString&) override {}
    void stop() override {}
};

void save(QWidget& window, const QString& folder, const QString& name) {
    QTest::qWait(30);
    window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

// On an X server, the whole screen as well: the window in its frame.
void saveWithScreen(QWidget& window, const QString& folder, const QString& name) {
    save(window, folder, name);
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) return;
    (void)QTest::qWaitForWindowExposed(&window);
    QTest::qWait(400);  // the window manager's frame
    window.screen()->grabWindow(0).save(
        QDir(folder).filePath(name + QStringLiteral("_screen.png")));
}

// Lays the 26 cards of a round row by row, the last one over the middle cell.
void playRound(quintelle::GameController& game, const std::function<void(int placed)>& after = {}) {
    int placed = 0;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            game.place(r * 10 + c);
            if (after) after(++placed);
        }
    game.place(33);
}

}  // namespace

int main(int argc, char** argv) {
    quintelle::ui::QuintelleApp app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(out);
    QTemporaryDir home;
    quintelle::platform::setExecutableFolder(home.path());
    quintelle::platform::installSoundBackend(std::make_unique<Silence>());
    {
        // The update offer is shown by hand below; no check goes out at start.
        QFile settings(QDir(home.path()).filePath(QStringLiteral("quintelle.ini")));
        if (settings.open(QIODevice::WriteOnly)) settings.write("[quintelle]\r\nUpdate=false\r\n");
    }

    // The expert's replays for the statistics window: quick, and the same every run.
    quintelle::ui::Statistics::setExpertBudget({300, 0, 1});
    quintelle::ui::ProgramWindows windows;
    Tmain& main = windows.main();
    Ttallylist& tallylist = *windows.tallylist();
    Tabout& about = *windows.about();
    Thelp& help = *windows.help();
    // One deal every time, so two sets of pictures can be compared pixel for pixel.
    main.random().seed(1);
    main.show();
    if (argc > 2) {
        // The window sized for the board at the scale asked, and the
        // pictures given time to be drawn for it.
        const double scale = QString::fromLocal8Bit(argv[2]).toDouble();
        main.resize(quintelle::ui::clientFor(scale) + QSize(0, main.centralWidget()->y()));
        QTest::qWait(400);
    }
    save(main, out, QStringLiteral("main_welcome"));
    main.board().hide(quintelle::controls::panel_name);
    main.updateOffer().checkupdateDoneString(&main, QStringLiteral("2.0.0"));
    save(main, out, QStringLiteral("main_update"));
    main.control(QStringLiteral("panel_update"))->hide();

    quintelle::GameController& game = main.game();
    const char* names[] = {"Ann", "Guest", "Bea", "Maximilian"};
    for (const char* name : names) {
        main.board().setText(quintelle::controls::edit_name, name);
        main.button_startClick();
        playRound(game, [&](int placed) {
            if (placed == 13 && name == names[0]) {
                for (int i = 0; i < 27; ++i) game.tick();
                save(main, out, QStringLiteral("main_midround"));
                main.findChild<QAction*>(QStringLiteral("Hint1"))->trigger();
                (void)QTest::qWaitFor([&] {
                    auto* ring = main.findChild<QWidget*>(QStringLiteral("image_hint"));
                    return ring && ring->isVisible();
                });
                save(main, out, QStringLiteral("main_hint"));
            }
        });
        if (name == names[0]) {
            const bool cleared = main.control(QStringLiteral("panel_continue"))->isVisible();
            save(main, out,
                 cleared ? QStringLiteral("main_cleared") : QStringLiteral("main_gameover"));
            // Both result panels carry the round's figures, so the other one
            // can be looked at over the same board.
            using namespace quintelle::controls;
            main.board().hide(cleared ? panel_continue : panel_cleared);
            main.board().show(cleared ? panel_cleared : panel_continue);
            save(main, out,
                 cleared ? QStringLiteral("main_gameover") : QStringLiteral("main_cleared"));
        }
    }

    tallylist.showOverMain();
    save(tallylist, out, QStringLiteral("tally"));
    tallylist.hide();

    // The statistics after a few dozen rounds more by the greedy player.
    for (int n = 0; n < 40; ++n) {
        if (main.control(QStringLiteral("panel_continue"))->isVisible())
            main.button_continueClick();
        else
            main.button_startClick();
        while (game.dealing())
            game.place(quintelle::Position::address(*quintelle::greedymove(game.position())));
    }
    auto& statistics = *main.findChild<quintelle::ui::Statistics*>();
    (void)QTest::qWaitFor([&] { return statistics.expert().idle(); }, 120000);
    statistics.StatisticsClick();
    saveWithScreen(*statistics.window(), out, QStringLiteral("statistics"));
    statistics.window()->hide();

    help.showOverMain();
    for (const char* page : {"SelButton1", "SelButton3", "SelButton4", "SelButton5"}) {
        auto* button = help.findChild<TSelButton*>(QString::fromLatin1(page));
        help.SelButton1Click(button);
        save(help, out, QStringLiteral("help_") + button->caption().toLower().remove(u' '));
    }
    about.showOverMain();
    save(about, out, QStringLiteral("about"));

    // The online list: the games above posted to the vendor's service, here
    // running on this machine, and its page as the window shows it.
    if (Thighscore* highscore = windows.highscore()) {
        const quintelle::tools::LocalVendor vendor(home.path().toStdString());
        if (vendor.port() == 0) return 1;
        quintelle::net::setVendorServer(
            *quintelle::net::parseServer(QStringLiteral("127.0.0.1:%1").arg(vendor.port())));
        auto idle = [](THTTPGet& get) {
            return QTest::qWaitFor([&] { return !get.busy(); }, 10000);
        };
        const QString today =
            quintelle::platform::postingDate(QDate::currentDate(), QStringLiteral("/"));
        for (int n = 1; n <= quintelle::TallyModel::kPlaces; ++n) {
            const quintelle::TallyPlace& place = tallylist.model().place(n);
            if (place.tag == quintelle::TallyModel::kEmptyScore) break;
            highscore->sendscore(QString::fromStdString(place.name), today,
                                 QString::number(place.tag));
            if (!idle(highscore->sendit())) return 1;
        }
        highscore->loadit();
        highscore->showOverMain();
        if (!idle(highscore->getit())) return 1;
        (void)QTest::qWaitFor(
            [&] {
                return !highscore->displayhtml()->pageLoading() &&
                       highscore->displayhtml()->picturesPending() == 0;
            },
            10000);
        save(*highscore, out, QStringLiteral("highscore"));
    }
    return 0;
}
