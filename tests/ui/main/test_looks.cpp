// What the window shows is drawn late (buttons when first shown); it must
// look exactly as the pictures it stands for.
#include <QApplication>
#include <QTest>

#include "mainwindow_fixture.h"
#include "ui/art/art.h"
#include "ui/controls/ImageButton.h"

namespace {

namespace art = quintelle::art;

struct ButtonRow {
    const char* name;
    art::ButtonWord word;
};

}  // namespace

// Every picture button of the main window, hidden panels' included, shows its
// word's pictures at rest and pressed at the window's pixel ratio.
TEST(Looks, PictureButtonsShowTheirWordsPictures) {
    QTemporaryDir folder;
    quintelle::platform::setExecutableFolder(folder.path());
    Tmain main;
    const ButtonRow rows[] = {{"button_start", art::ButtonWord::StartGame},
                              {"button_continue", art::ButtonWord::Done},
                              {"button_sendscore", art::ButtonWord::SendScore},
                              {"button_highscores", art::ButtonWord::HighScores},
                              {"button_cancel", art::ButtonWord::Cancel},
                              {"button_namedone", art::ButtonWord::Done},
                              {"button_namecancel", art::ButtonWord::Cancel},
                              {"button_updateyes", art::ButtonWord::Yes},
                              {"button_updatecancel", art::ButtonWord::Cancel}};
    for (const ButtonRow& row : rows) {
        auto* button = qobject_cast<ImageButton*>(main.control(QString::fromLatin1(row.name)));
        ASSERT_NE(button, nullptr) << row.name;
        const qreal dpr = button->devicePixelRatioF();
        EXPECT_EQ(button->pixmap().toImage(), art::buttonPicture(row.word, false, dpr).toImage())
            << row.name;
        EXPECT_EQ(button->pressedPixmap().toImage(),
                  art::buttonPicture(row.word, true, dpr).toImage())
            << row.name;
        EXPECT_EQ(button->size(), art::buttonSize(row.word)) << row.name;
    }
}
