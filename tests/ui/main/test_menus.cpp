// The menu bar as the player sees it, and its keyboard shortcuts.
#include <QAccessible>
#include <QMenu>
#include <QMenuBar>

#include "mainwindow_fixture.h"

namespace {

struct Item {
    QString name;
    QString caption;  // empty for a separator
    bool checkable = false;
    QKeySequence shortcut = {};
};

struct Menu {
    QString name;
    QString title;
    std::vector<Item> items;
};

}  // namespace

TEST_F(MainWindowTest, MenusAndItemsInDisplayOrder) {
    open();
    const std::vector<Menu> expected = {
        {"file1",
         "&File",
         {{"StartGame1", "Start Game", false, QKeySequence(Qt::CTRL | Qt::Key_S)},
          {"DailyDeal1", "Daily Deal"},
          {"N1", ""},
          {"Exit1", "Exit"}}},
        {"Options1",
         "&Options",
         {{"PlaySounds1", "Play Sounds", true},
          {"ResetScreenLocation1", "Reset Screen Location"},
          {"ChangeName1", "Change  Name"},
          {"updatecheck", "Automatically Check for Updates", true},
          {"N3", ""},
          {"Hint1", "Hint", false, QKeySequence(Qt::CTRL | Qt::Key_H)}}},
        {"View1",
         "&View",
         {{"TallyList1", "Tally List"},
          {"ViewHighScoreList1", "View High Score List"},
          {"Statistics1", "Statistics", false, QKeySequence(Qt::CTRL | Qt::Key_T)}}},
        {"Help1",
         "&Help",
         {{"Help2", "Help", false, QKeySequence(Qt::Key_F1)}, {"N2", ""}, {"About1", "About"}}},
    };
    EXPECT_EQ(window().menuBar()->objectName(), QStringLiteral("MainMenu1"));
    const QList<QAction*> menus = window().menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t m = 0; m < expected.size(); ++m) {
        SCOPED_TRACE(expected[m].title.toStdString());
        QMenu* menu = menus[static_cast<qsizetype>(m)]->menu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), expected[m].name);
        EXPECT_EQ(menu->title(), expected[m].title);
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[m].items.size()));
        for (std::size_t i = 0; i < expected[m].items.size(); ++i) {
            const Item& want = expected[m].items[i];
            const QAction* got = items[static_cast<qsizetype>(i)];
            SCOPED_TRACE(want.name.toStdString());
            EXPECT_EQ(got->objectName(), want.name);
            EXPECT_EQ(got->isSeparator(), want.caption.isEmpty());
            if (got->isSeparator()) continue;
            EXPECT_EQ(got->text(), want.caption);
            EXPECT_EQ(got->isCheckable(), want.checkable);
            EXPECT_EQ(got->shortcut(), want.shortcut);
        }
    }
}

TEST_F(MainWindowTest, AltAndAMenusLetterOpensIt) {
    open();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    find(QStringLiteral("button_namecancel"))->setFocus();
    QTest::keyClick(window().focusWidget(), Qt::Key_Escape);
    const std::pair<Qt::Key, const char*> menus[] = {
        {Qt::Key_F, "file1"}, {Qt::Key_O, "Options1"}, {Qt::Key_V, "View1"}, {Qt::Key_H, "Help1"}};
    for (const auto& [key, name] : menus) {
        SCOPED_TRACE(name);
        QTest::keyClick(window().focusWidget(), key, Qt::AltModifier);
        auto* menu = window().findChild<QMenu*>(QString::fromLatin1(name));
        EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000));
        menu->close();
    }
}

// A screen reader hears a ticked option as a check box, ticked or not, and
// can tick it.
TEST_F(MainWindowTest, CheckableItemsAreCheckBoxesWithTheirState) {
    open();
    // As a screen reader reaches them: through the menu's children.
    auto itemOf = [](QAction* action) {
        auto* menu = qobject_cast<QMenu*>(action->associatedObjects().value(0));
        QAccessibleInterface* menuIface = QAccessible::queryAccessibleInterface(menu);
        return menuIface->child(static_cast<int>(menu->actions().indexOf(action)));
    };
    for (const char* name : {"PlaySounds1", "updatecheck"}) {
        SCOPED_TRACE(name);
        QAction* item = action(QString::fromLatin1(name));
        // A build with no update key shows no update item at all.
        if (!item->isVisible()) continue;
        QAccessibleInterface* iface = itemOf(item);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::CheckBox);
        EXPECT_EQ(iface->object(), item);
        EXPECT_EQ(iface->text(QAccessible::Name), item->text());
        EXPECT_EQ(iface->parent()->object(), item->associatedObjects().value(0));
        for (bool on : {true, false}) {
            item->setChecked(on);
            EXPECT_TRUE(iface->state().checkable);
            EXPECT_EQ(iface->state().checked, on);
        }
        iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        EXPECT_TRUE(item->isChecked());
    }
    EXPECT_EQ(itemOf(action(QStringLiteral("Hint1")))->role(), QAccessible::MenuItem);
}

TEST_F(MainWindowTest, CtrlSStartsAGame) {
    open();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    ASSERT_EQ(window().game().roundnum(), 0);
    QTest::keyClick(&window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(window().game().roundnum(), 1);
    EXPECT_TRUE(window().game().dealing());
    EXPECT_FALSE(find(QStringLiteral("panel_name"))->isVisible());
}

TEST_F(MainWindowTest, StartGameFromTheMenuHidesTheGameOverPanel) {
    open();
    find(QStringLiteral("panel_cleared"))->show();
    action(QStringLiteral("StartGame1"))->trigger();
    EXPECT_FALSE(find(QStringLiteral("panel_cleared"))->isVisible());
    EXPECT_EQ(window().game().roundnum(), 1);
}

TEST_F(MainWindowTest, ExitClosesAndWritesTheSettings) {
    open();
    action(QStringLiteral("Exit1"))->trigger();
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(iniValue(QStringLiteral("Name")), QStringLiteral("Guest"));
}
