// What the window shows is drawn late (buttons when first shown) and without
// style sheets; it must look exactly as the pictures and the style it stands
// for.
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QProxyStyle>
#include <QStyle>
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

// The program's icon is drawn when first asked for, and gives exactly what
// an icon holding the emblem at one and two times its size gives, at every
// size a desktop may ask for.
TEST(Looks, WindowIconIsTheEmblemAtOneAndTwoTimes) {
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    QIcon reference;
    for (qreal dpr : {1.0, 2.0}) reference.addPixmap(art::emblem(dpr));
    EXPECT_EQ(icon.availableSizes(), reference.availableSizes());
    for (int side : {16, 24, 32, 48, 64, 86, 128, 172, 256}) {
        const QSize size(side, side);
        EXPECT_EQ(icon.actualSize(size), reference.actualSize(size)) << side;
        EXPECT_EQ(icon.pixmap(size).toImage(), reference.pixmap(size).toImage()) << side;
        EXPECT_EQ(icon.pixmap(size, 2.0).toImage(), reference.pixmap(size, 2.0).toImage()) << side;
    }
}

// The style's standard icons are read when first drawn, and are then exactly
// those of the platform style it stands in for, whatever their size.
TEST(Looks, StandardIconsAreThePlatformStylesOnes) {
    auto* proxy = qobject_cast<QProxyStyle*>(QApplication::style());
    ASSERT_NE(proxy, nullptr);
    const QStyle* platform = proxy->baseStyle();
    for (QStyle::StandardPixmap which :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton,
          QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxWarning,
          QStyle::SP_MessageBoxQuestion, QStyle::SP_TitleBarCloseButton, QStyle::SP_ArrowRight,
          QStyle::SP_DialogOkButton}) {
        SCOPED_TRACE(int(which));
        const QIcon ours = QApplication::style()->standardIcon(which);
        const QIcon theirs = platform->standardIcon(which);
        EXPECT_EQ(ours.isNull(), theirs.isNull());
        EXPECT_EQ(ours.availableSizes(), theirs.availableSizes());
        for (int side : {8, 16, 32, 48}) {
            const QSize size(side, side);
            EXPECT_EQ(ours.actualSize(size), theirs.actualSize(size)) << side;
            EXPECT_EQ(ours.pixmap(size).toImage(), theirs.pixmap(size).toImage()) << side;
            const QPixmap sharp = ours.pixmap(size, 2.0);
            EXPECT_EQ(sharp.toImage(), theirs.pixmap(size, 2.0).toImage()) << side;
            EXPECT_EQ(sharp.devicePixelRatio(), theirs.pixmap(size, 2.0).devicePixelRatio())
                << side;
        }
    }
}

// Text of the layout's families is drawn in exactly the font Qt would pick
// for the family's own name, whether the family is installed, stands in for
// one that is not, or has nothing installed for it; symbols the font lacks
// fall back as before.
TEST(Looks, LayoutFontsAreTheFontsTheirFamiliesNameGives) {
    // Named as a layout would: without the foundry the list adds to a family
    // several foundries install.
    const QString installed =
        QFontDatabase::families().value(0).section(QStringLiteral(" ["), 0, 0);
    ASSERT_FALSE(installed.isEmpty());
    const QString absent = QStringLiteral("Quintelle Absent Face");
    QFont::insertSubstitutions(absent, {QStringLiteral("Quintelle Nowhere Face"), installed});
    const QString unmatched = QStringLiteral("Quintelle Unmatched Face");
    QFont::insertSubstitution(unmatched, QStringLiteral("Quintelle Nowhere Face"));

    struct Row {
        QString family;
        QString asked;  // what the layout's fonts ask for
    };
    const Row rows[] = {{QStringLiteral("MS Sans Serif"), {}},
                        {QStringLiteral("Arial"), {}},
                        {installed, installed},
                        {absent, installed},
                        {unmatched, unmatched}};
    const QString text = QString::fromUtf8("Score 0123 Wq_g \u2660\u2665\u2666\u2663 \u2026");
    auto drawn = [&](const QFont& font) {
        QImage image(420, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.drawText(4, 28, text);
        return image;
    };
    for (const Row& row : rows) {
        const QByteArray name = row.family.toLatin1();
        if (!row.asked.isEmpty()) {
            EXPECT_EQ(quintelle::ui::installedFamily(name.constData()), row.asked) << name.data();
        }
        for (int pixels : {11, 16, 19})
            for (bool bold : {false, true}) {
                SCOPED_TRACE((name + ' ' + QByteArray::number(pixels) + (bold ? " bold" : ""))
                                 .toStdString());
                const QFont ours = quintelle::ui::makeFont({name.constData(), pixels, bold});
                QFont named(row.family);
                named.setPixelSize(pixels);
                named.setBold(bold);
                EXPECT_EQ(QFontInfo(ours).family(), QFontInfo(named).family());
                EXPECT_EQ(QFontInfo(ours).styleName(), QFontInfo(named).styleName());
                EXPECT_EQ(drawn(ours), drawn(named));
            }
    }
    QFont::removeSubstitutions(absent);
    QFont::removeSubstitutions(unmatched);
}
