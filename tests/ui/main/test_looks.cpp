// What the window shows is drawn late (buttons when first shown) and without
// style sheets; it must look exactly as the pictures and the style it stands
// for.
#include <QApplication>
#include <QPainter>
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

// The name box is styled by palette and margins; pixel for pixel it is the
// box this style sheet describes, empty or holding a name, with and without
// the focus, the name selected or not.
TEST(Looks, NameBoxIsTheStyledBox) {
    const int flashTime = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);  // a caret that does not blink
    QWidget window;
    window.resize(400, 100);
    const QRect box(83, 54, 161, 32);
    auto* ours = new quintelle::ui::NameEdit(&window, "edit_aname", box, 10);
    auto* styled = new QLineEdit(&window);
    styled->setGeometry(box);
    styled->setStyleSheet(
        QStringLiteral("QLineEdit { background: rgb(245, 235, 216); color: black; "
                       "border: 1px solid rgb(120, 80, 40); padding: 0 4px; }"));
    const QFont font = quintelle::ui::makeFont({"MS Sans Serif", 19});
    ours->setFont(font);
    styled->setFont(font);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    for (const QString& text : {QString(), QStringLiteral("Guest"), QStringLiteral("Wjq_Mg 9"),
                                QStringLiteral("A name longer than the box holds")})
        for (bool focused : {false, true})
            for (bool selected : {false, true}) {
                auto look = [&](QLineEdit* edit) {
                    edit->setText(text);
                    if (selected)
                        edit->selectAll();
                    else
                        edit->deselect();
                    if (focused)
                        edit->setFocus();
                    else
                        window.setFocus();
                    return edit->grab().toImage();
                };
                const QImage expected = look(styled);
                EXPECT_EQ(look(ours), expected)
                    << text.toStdString() << " focused " << focused << " selected " << selected;
            }
    QApplication::setCursorFlashTime(flashTime);
}
