// Plays a scripted game in the real windows and saves what a player would see
// at each step, so layout and art can be judged from the pictures.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "platform/appdir.h"
#include "platform/sound.h"
#include "ui/main/application.h"
#include "ui/main/mainform.h"

namespace {

struct Silence : quintelle::platform::SoundBackend {
    void play(const QString&) override {}
    void stop() override {}
};

void save(QWidget& window, const QString& folder, const char* name) {
    QTest::qWait(30);
    window.grab().save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}

}  // namespace

int main(int argc, char** argv) {
    quintelle::ui::QuintelleApp app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(out);
    QTemporaryDir home;
    quintelle::platform::setExecutableFolder(home.path());
    quintelle::platform::installSoundBackend(std::make_unique<Silence>());

    Tmain main;
    main.show();
    save(main, out, "main_welcome");

    main.button_startClick();
    quintelle::GameController& game = main.game();
    int placed = 0;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            game.image_card11Click(r * 10 + c);
            if (++placed == 13) {
                for (int i = 0; i < 27; ++i) game.turntimeTimer();
                save(main, out, "main_midround");
            }
        }
    game.image_card11Click(33);  // the replacement ends the round
    const bool cleared = main.control(QStringLiteral("panel_continue"))->isVisible();
    save(main, out, cleared ? "main_cleared" : "main_gameover");
    // Both result panels carry the round's figures, so the other one can be
    // looked at over the same board.
    main.hide(cleared ? "panel_continue" : "panel_cleared");
    main.show(cleared ? "panel_cleared" : "panel_continue");
    save(main, out, cleared ? "main_gameover" : "main_cleared");
    return 0;
}
