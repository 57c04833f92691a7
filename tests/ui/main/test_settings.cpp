// Start-up from the settings file, the window's bounds through a run, the
// name panel, and the settings write at close.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "mainwindow_fixture.h"
#include "net/httpget.h"
#include "platform/workarea.h"
#include "ui/main/boardscale.h"

TEST_F(MainWindowTest, FirstStartWithoutSettingsFile) {
    ASSERT_FALSE(QFile::exists(iniPath()));
    open();
    EXPECT_EQ(window().pos(), QPoint(3, 3));
    EXPECT_EQ(window().centralWidget()->size(), QSize(676, 582));
    EXPECT_EQ(textOf(QStringLiteral("edit_name")), QStringLiteral("Guest"));
    EXPECT_EQ(textOf(QStringLiteral("edit_aname")), QStringLiteral("Guest"));
    EXPECT_TRUE(action(QStringLiteral("PlaySounds1"))->isChecked());
    EXPECT_TRUE(action(QStringLiteral("updatecheck"))->isChecked());
    EXPECT_TRUE(find(QStringLiteral("panel_name"))->isVisible());
    EXPECT_EQ(sounds(), std::vector<QString>{QStringLiteral("play ENTERED")});
    EXPECT_TRUE(window().rememberedBounds().isNull());  // none stored: placed for the screen
    EXPECT_FALSE(QFile::exists(iniPath()));            // nothing is written before closing
}

// Bounds stored at a smaller display scale, or on a larger screen, would put
// the window partly off this one: it comes back no larger than the work area
// and wholly on it.
TEST_F(MainWindowTest, StoredBoundsLargerThanTheWorkAreaComeBackOnIt) {
    const QStringList rows[] = {
        {"Top=0", "Left=0", "Width=1354", "Height=1225"},
        {"Top=600", "Left=900", "Width=2000", "Height=400"},
    };
    for (const QStringList& row : rows) {
        SCOPED_TRACE(row.join(u' ').toStdString());
        writeIni(row);
        open();
        const QRect work = quintelle::platform::workArea(window().screen());
        EXPECT_TRUE(work.contains(window().frameGeometry())) << window().frameGeometry().x() << ","
                                                             << window().frameGeometry().y();
    }
}

TEST_F(MainWindowTest, OptionWordsAreComparedExactly) {
    struct Row {
        QStringList file;
        bool sounds;
        bool update;
    };
    const Row rows[] = {
        {{"Sounds=no"}, false, true},
        {{"Sounds=No"}, true, true},
        {{"Sounds=NO"}, true, true},
        {{"Sounds="}, true, true},
        {{"Sounds=yes", "Update=false"}, true, false},
        {{"Update=FALSE"}, true, true},
        {{"Sounds=no", "Update=false"}, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file.join(u' ').toStdString());
        writeIni(row.file);
        sounds().clear();
        open();
        EXPECT_EQ(action(QStringLiteral("PlaySounds1"))->isChecked(), row.sounds);
        EXPECT_EQ(action(QStringLiteral("updatecheck"))->isChecked(), row.update);
        // The start-up cue obeys the option as just read.
        EXPECT_EQ(sounds(), row.sounds ? std::vector<QString>{QStringLiteral("play ENTERED")}
                                       : std::vector<QString>{});
    }
}

TEST_F(MainWindowTest, BoundsAndNameComeFromTheFile) {
    writeIni({"Top=40", "Left=50", "Width=0x2D0", "Height=650", "Name="});
    open();
    EXPECT_EQ(window().pos(), QPoint(50, 40));
    EXPECT_EQ(window().frameGeometry().size(), QSize(720, 650));  // the outer size
    EXPECT_EQ(textOf(QStringLiteral("edit_name")), QString());    // present but empty: no "Guest"
    EXPECT_EQ(textOf(QStringLiteral("edit_aname")), QString());
}

TEST_F(MainWindowTest, ResizingBelowTheLegibleBoardIsRefusedPerDimension) {
    open();
    const QSize least = quintelle::ui::clientFor(quintelle::ui::kLegibleScale);
    window().resize(300, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(window().centralWidget()->width(), least.width());
    EXPECT_EQ(window().height(), 700);

    window().resize(900, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(window().width(), 900);
    EXPECT_EQ(window().centralWidget()->height(), least.height());
}

TEST_F(MainWindowTest, ClosingUnchangedWritesTheSameBoundsBack) {
    writeIni(
        {"Top=40", "Left=50", "Width=720", "Height=650", "Name=Ann", "Sounds=yes", "Update=true"});
    open();
    window().close();
    EXPECT_EQ(iniLines(), (QStringList{"[quintelle]", "Top=40", "Left=50", "Width=720",
                                       "Height=650", "Name=Ann", "Sounds=yes", "Update=true"}));
}

TEST_F(MainWindowTest, AMovedWindowWiderThanTheWorkAreaLosesThreePixels) {
    writeIni({"Top=40", "Left=50", "Width=720", "Height=650"});
    open();
    const QRect work = quintelle::platform::workArea(window().screen());
    ASSERT_TRUE(work.isValid());
    window().move(10, 20);
    window().resize(work.width() + 40, 640);
    QCoreApplication::processEvents();
    ASSERT_EQ(window().width(), work.width() + 40);
    const QSize outer = window().frameGeometry().size();
    const int height = outer.height();
    window().close();
    EXPECT_EQ(iniValue(QStringLiteral("Left")), QStringLiteral("10"));
    EXPECT_EQ(iniValue(QStringLiteral("Top")), QStringLiteral("20"));
    EXPECT_EQ(iniValue(QStringLiteral("Width")), QString::number(outer.width() - 3));
    EXPECT_EQ(iniValue(QStringLiteral("Height")),
              QString::number(height > work.height() ? height - 3 : height));
}

TEST_F(MainWindowTest, AMovedWindowInsideTheWorkAreaKeepsItsSize) {
    open();
    const QRect work = quintelle::platform::workArea(window().screen());
    window().move(7, 9);
    window().resize(work.width() - 20, work.height() - 10);
    QCoreApplication::processEvents();
    const QSize size = window().frameGeometry().size();
    ASSERT_LE(size.width(), work.width());
    ASSERT_LE(size.height(), work.height());
    window().close();
    EXPECT_EQ(iniValue(QStringLiteral("Width")), QString::number(size.width()));
    EXPECT_EQ(iniValue(QStringLiteral("Height")), QString::number(size.height()));
}

TEST_F(MainWindowTest, ResetScreenLocationWritesNothingButIsStoredAtClose) {
    writeIni({"Top=40", "Left=50", "Width=720", "Height=650"});
    const QByteArray before = iniBytes();
    open();
    action(QStringLiteral("ResetScreenLocation1"))->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(iniBytes(), before);
    EXPECT_EQ(window().pos(), QPoint(3, 3));
    EXPECT_EQ(window().centralWidget()->size(), QSize(676, 582));
    window().close();
    EXPECT_EQ(iniValue(QStringLiteral("Top")), QStringLiteral("3"));
    EXPECT_EQ(iniValue(QStringLiteral("Left")), QStringLiteral("3"));
    EXPECT_EQ(iniValue(QStringLiteral("Width")), QString::number(window().frameGeometry().width()));
    EXPECT_EQ(iniValue(QStringLiteral("Height")),
              QString::number(window().frameGeometry().height()));
    EXPECT_EQ(window().width(), 676);
}

TEST_F(MainWindowTest, TogglingPlaySoundsWritesTheWholeFileAtOnce) {
    open();
    window().move(12, 14);
    QCoreApplication::processEvents();
    QAction* sound = action(QStringLiteral("PlaySounds1"));
    sound->trigger();
    EXPECT_FALSE(sound->isChecked());
    EXPECT_EQ(iniLines(),
              (QStringList{"[quintelle]", "Top=14", "Left=12",
                           QStringLiteral("Width=%1").arg(window().frameGeometry().width()),
                           QStringLiteral("Height=%1").arg(window().frameGeometry().height()),
                           "Name=Guest", "Sounds=no", "Update=true"}));
    EXPECT_EQ(audioPrepared(), 0);
    sound->trigger();
    EXPECT_TRUE(sound->isChecked());
    EXPECT_EQ(iniValue(QStringLiteral("Sounds")), QStringLiteral("yes"));
    // Turned on: the output gets ready before the next cue wants it.
    EXPECT_EQ(audioPrepared(), 1);
}

TEST_F(MainWindowTest, TheNamePanel) {
    open();
    auto* name = find<QLineEdit>(QStringLiteral("edit_name"));
    auto* typed = find<QLineEdit>(QStringLiteral("edit_aname"));
    QWidget* panel = find(QStringLiteral("panel_name"));

    // DONE takes the typed text as it stands, blanks and all.
    typed->setText(QStringLiteral(" Ann "));
    click(QStringLiteral("button_namedone"));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(name->text(), QStringLiteral(" Ann "));

    action(QStringLiteral("ChangeName1"))->trigger();
    EXPECT_TRUE(panel->isVisible());
    typed->clear();
    click(QStringLiteral("button_namedone"));
    EXPECT_EQ(name->text(), QString());

    // CANCEL keeps the name; the typed text waits in the panel.
    action(QStringLiteral("ChangeName1"))->trigger();
    typed->setText(QStringLiteral("Bob"));
    click(QStringLiteral("button_namecancel"));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(name->text(), QString());
    EXPECT_EQ(typed->text(), QStringLiteral("Bob"));
    action(QStringLiteral("ChangeName1"))->trigger();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(typed->text(), QStringLiteral("Bob"));

    // The name is written only with the next settings write.
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(MainWindowTest, TheNamePanelTakesTheKeyboard) {
    open();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    auto* typed = find<QLineEdit>(QStringLiteral("edit_aname"));
    QWidget* panel = find(QStringLiteral("panel_name"));

    // Typing replaces the offered name at once; Enter is DONE.
    EXPECT_TRUE(typed->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Dora"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(textOf(QStringLiteral("edit_name")), QStringLiteral("Dora"));

    // Escape is CANCEL: the name stays, the typed text waits in the box.
    action(QStringLiteral("ChangeName1"))->trigger();
    EXPECT_TRUE(typed->hasFocus());
    QTest::keyClicks(typed, QStringLiteral("Eve"));
    QTest::keyClick(typed, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(textOf(QStringLiteral("edit_name")), QStringLiteral("Dora"));
    EXPECT_EQ(typed->text(), QStringLiteral("Eve"));
}

TEST_F(MainWindowTest, StartHidesTheNamePanelWithoutTakingTheTypedName) {
    open();
    find<QLineEdit>(QStringLiteral("edit_aname"))->setText(QStringLiteral("Carol"));
    click(QStringLiteral("button_start"));
    EXPECT_FALSE(find(QStringLiteral("panel_name"))->isVisible());
    EXPECT_EQ(textOf(QStringLiteral("edit_name")), QStringLiteral("Guest"));
    EXPECT_EQ(textOf(QStringLiteral("label_name")), QStringLiteral("Good Luck Guest"));
}

TEST_F(MainWindowTest, ClosingOverAnUnwritableFolderShowsTheErrorAndStillEnds) {
    blockDataFolder();
    open(folder() + QStringLiteral("/missing/folder"));
    MessageBoxAnswerer boxes;

    // Only the close itself may end the application here, not the last
    // window going away.
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer::singleShot(0, &window(), [this] { window().close(); });
    // Bound to the test: a timer left for later tests would end their event
    // loops at once.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(3000);
    EXPECT_EQ(QCoreApplication::exec(), 0) << "the application was not told to end";
    QApplication::setQuitOnLastWindowClosed(true);
    EXPECT_FALSE(window().isVisible());
    const QString path = quintelle::platform::playerFilesFolder() + QStringLiteral("quintelle.ini");
    EXPECT_EQ(boxes.shown(), QStringLiteral("Unable to write to %1.").arg(path));
}

TEST_F(MainWindowTest, TogglingPlaySoundsOverAnUnwritableFolderShowsTheErrorAndKeepsTheMark) {
    blockDataFolder();
    open(folder() + QStringLiteral("/missing/folder"));
    MessageBoxAnswerer boxes;
    QAction* sounds = action(QStringLiteral("PlaySounds1"));
    ASSERT_TRUE(sounds->isChecked());
    sounds->trigger();
    EXPECT_FALSE(sounds->isChecked());
    const QString path = quintelle::platform::playerFilesFolder() + QStringLiteral("quintelle.ini");
    EXPECT_EQ(boxes.shown(), QStringLiteral("Unable to write to %1.").arg(path));
}
