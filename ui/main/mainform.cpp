#include "ui/main/mainform.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>
#include <algorithm>

#include "platform/appdir.h"
#include "platform/dates.h"
#include "platform/workarea.h"
#include "ui/art/palette.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/LbBack.h"
#include "ui/controls/TFlatPanelUnit.h"
#include "ui/daily/dailyresult.h"
#include "ui/daily/dailyround.h"
#include "ui/highscore/highscoreform.h"
#include "ui/main/application.h"
#include "ui/main/boardkeys.h"
#include "ui/main/boardscale.h"
#include "ui/main/boardspeech.h"
#include "ui/main/boardview.h"
#include "ui/main/checkmenuitem.h"
#include "ui/main/coach.h"
#include "ui/main/frameplacement.h"
#include "ui/main/keptart.h"
#include "ui/main/postingwait.h"
#include "ui/main/secondarywindow.h"
#include "ui/main/settings.h"
#include "ui/main/turntimer.h"
#include "ui/main/updateoffer.h"
#include "ui/main/widgets.h"
#include "ui/statistics/statistics.h"

using namespace quintelle;
using namespace quintelle::ui;

Tmain::Tmain() : QMainWindow(nullptr) {
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Quintelle"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    QPalette look = this->palette();
    look.setColor(QPalette::Window, palette::wood);
    setPalette(look);
    setFont(makeFont(FontSpec{}));

    buildMenu();
    board_ = new BoardView(client);
    frame_ = new FramePlacement(this);
    clock_ = new TurnTimer(this);
    cues_ = std::make_unique<CuePlayer>(
        [this] { return PlaySounds1->isChecked(); },
        [this] { speech_->announce(QStringLiteral("No replacement left")); });
    game_ = std::make_unique<GameController>(*board_, *cues_, *clock_, tally_, random_);
    keys_ = new BoardKeys(*this, *board_, *game_);
    speech_ = new BoardSpeech(*board_);
    new Coach(findChild<QMenu*>(QStringLiteral("Options1")), *board_, *game_, *keys_);
    new Statistics(this, *game_);
    updateOffer_ = new UpdateOffer(this, *board_, productWord_, installerName_);
    updateOffer_->setHandover({[this] { guarded([this] { saveinifile(); }); },
                               [this] {
                                   if (windows_.saveTally) windows_.saveTally();
                               },
                               [this] {
                                   const TURL* link = windows_.vendorLink;
                                   return link ? link->address() : QString();
                               }});
    postingWait_ =
        new PostingWait(this, static_cast<TFlatPanel*>(board_->control(controls::panel_wait)),
                        board_->control(controls::panel_cleared));
    daily_ = new DailyRound(this, *board_, *game_, DailyDeal1, [this] { return edit_name->text(); });
    connect(daily_, &DailyRound::listWanted, this, [this] {
        if (Thighscore* list = windows_.highscore) {
            list->loadDaily();
            list->showOverMain();
        }
    });
    connectBoard();
    // Any new round takes the board from a daily round's result.
    connect(clock_, &TurnTimer::started, &daily_->resultPanel(), &QWidget::hide);

    FormCreate();
}

Tmain::~Tmain() = default;

void Tmain::setWindows(const Windows& windows) {
    windows_ = windows;
    tally_.target = windows.tally;
    ViewHighScoreList1->setEnabled(bool(windows.highscore));
    disconnect(postingEnded_);
    if (windows.highscore)
        postingEnded_ = connect(windows.highscore, &Thighscore::postingEnded, postingWait_,
                                &PostingWait::ended);
}

QImage Tmain::backgroundTile() const {
    return LbBackground1->image();
}

QTimer& Tmain::turntime() {
    return clock_->turntime();
}

QWidget* Tmain::control(const QString& name) const {
    return board_->control(name);
}

void Tmain::moveCursorTo(int address) {
    keys_->moveTo(address);
}

int Tmain::cursorCell() const {
    return keys_->cell();
}

// The handlers of the board's own controls; the update offer and the posting
// wait take theirs.
void Tmain::connectBoard() {
    const auto clicked = [this](const char* name, void (Tmain::*handler)()) {
        auto* button = qobject_cast<ImageButton*>(board_->control(QString::fromLatin1(name)));
        connect(button, &ImageButton::clicked, this, handler);
    };
    clicked("button_start", &Tmain::button_startClick);
    clicked("button_continue", &Tmain::button_continueClick);
    clicked("button_cancel", &Tmain::button_cancelClick);
    clicked("button_sendscore", &Tmain::button_sendscoreClick);
    clicked("button_highscores", &Tmain::button_highscoresClick);
    clicked("button_namedone", &Tmain::button_namedoneClick);
    clicked("button_namecancel", &Tmain::button_namecancelClick);
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            connect(qobject_cast<Picture*>(board_->control(controls::cell(r, c))),
                    &Picture::clicked, this, &Tmain::image_card11Click);
    connect(qobject_cast<Picture*>(board_->control(QStringLiteral("image_logo"))),
            &Picture::clicked, this, &Tmain::image_logoClick);
    connect(clock_, &TurnTimer::ticked, this, &Tmain::turntimeTimer);
    // The cursor shows exactly while a round is dealing, as the clock runs.
    connect(clock_, &TurnTimer::started, keys_, &BoardKeys::roundStarted);
    connect(clock_, &TurnTimer::stopped, keys_, &BoardKeys::roundEnded);
    edit_name = qobject_cast<QLineEdit*>(board_->control(controls::edit_name));
    edit_aname = qobject_cast<QLineEdit*>(board_->control(QStringLiteral("edit_aname")));
}

// --- creation, showing, closing -------------------------------------------

void Tmain::FormCreate() {
    marker_ = std::make_unique<platform::InstanceMarker>(productWord_);
    LbBackground1 = coverWithTile(centralWidget(), kept::woodTile());
    random_.seed(platform::utcMillisecondsOfDay());
    limitToScreen();
    loadinifile();
    cues_->playsounds("entered");
    openNamePanel();
}

void Tmain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    frame_->shown();
    // The window is shown once per run, and so the check starts at most once.
    if (!std::exchange(shownOnce_, true)) FormShow();
}

void Tmain::FormShow() {
    if (updatecheck->isChecked()) updateOffer_->check();
}

void Tmain::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void Tmain::FormClose() {
    // A download under way ends here, and the program is under its own name.
    updateOffer_->stop();
    QRect bounds = outerBounds();
    if (bounds != remembered_) {
        const QRect work = platform::workArea(screen());
        // Only a window larger than the work area is trimmed, and by 3 pixels
        // only, so a maximised window comes back just inside the screen.
        QSize size = bounds.size();
        if (size.width() > work.width()) size.setWidth(size.width() - 3);
        if (size.height() > work.height()) size.setHeight(size.height() - 3);
        const QSize frame = bounds.size() - geometry().size();
        size = size.expandedTo(minimumSize() + frame);
        resize(size - frame);
        // A maximised window ignores the resize until it is restored; the
        // trimmed size is what is stored either way.
        bounds.setSize(size);
        remembered_ = bounds;
    }
    closingBounds_ = bounds;
    // A settings file that cannot be written is reported, but never keeps the
    // player from leaving.
    guarded([this] { saveinifile(); });
    QCoreApplication::quit();
}

void Tmain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

// The board must always fit: the program sets a short window back itself,
// height first, then width, even where no window manager keeps to the
// minimum size the window asks for.
void Tmain::FormResize() {
    // The client area is what lies below the menu bar; the layout never
    // gives the board less than its minimum, so ask the window, not the board.
    const int menu = centralWidget()->y();
    const QSize least = centralWidget()->minimumSize();
    QSize needed = size();
    if (height() - menu < least.height()) needed.setHeight(menu + least.height());
    if (width() < least.width()) needed.setWidth(least.width());
    if (needed != size()) resize(needed);
}

namespace {

// What a window manager's frame takes, for as long as the frame is unknown:
// a generous title bar and borders, so the guess errs on the safe side.
constexpr QMargins kLikelyFrame{8, 36, 8, 8};
constexpr QPoint kFromCorner{3, 3};

// Bounds stored on a larger screen, or at a smaller display scale, come back
// no larger than the work area and wholly on it; others exactly as stored.
QRect withinWorkArea(QRect bounds) {
    const QRect work = platform::workArea(QGuiApplication::screenAt(bounds.center()));
    if (work.isEmpty() || (bounds.width() <= work.width() && bounds.height() <= work.height()))
        return bounds;
    bounds.setSize(bounds.size().boundedTo(work.size()));
    bounds.moveLeft(std::clamp(bounds.left(), work.left(), work.right() + 1 - bounds.width()));
    bounds.moveTop(std::clamp(bounds.top(), work.top(), work.bottom() + 1 - bounds.height()));
    return bounds;
}

}  // namespace

void Tmain::limitToScreen() {
    const QRect work = platform::workArea(screen());
    const WindowAllowance room{menuBar()->sizeHint().height(), kLikelyFrame};
    centralWidget()->setMinimumSize(clientFor(leastScale(work, room)));
}

void Tmain::placeForScreen() {
    const QRect work = platform::workArea(screen());
    const QWindow* handle = windowHandle();
    const bool framed = handle && isVisible() && !handle->frameMargins().isNull();
    const WindowAllowance room{menuBar()->sizeHint().height(),
                               framed ? handle->frameMargins() : kLikelyFrame};
    const QSize client = clientFor(startingScale(work, room));
    frame_->placeWindow(work.topLeft() + kFromCorner, client + QSize(0, room.menuBar));
}

QRect Tmain::outerBounds() const {
    return frame_->outerBounds();
}

void Tmain::setOuterBounds(const QRect& frame) {
    frame_->place(frame);
}

// --- settings ---------------------------------------------------------------

QString Tmain::iniPath() const {
    return platform::playerFilesFolder() + productWord_ + QStringLiteral(".ini");
}

void Tmain::loadinifile() {
    const Settings settings = readSettings(iniPath());
    if (settings.boundsStored) {
        remembered_ = withinWorkArea(settings.bounds);
        setOuterBounds(remembered_);
    } else {
        placeForScreen();
    }
    PlaySounds1->setChecked(settings.sounds);
    updatecheck->setChecked(settings.updateCheck);
    edit_name->setText(settings.name);
    edit_aname->setText(edit_name->text());
    if (settings.server) net::setVendorServer(*settings.server);
}

void Tmain::saveinifile() {
    platform::createPlayerFilesFolder();
    Settings settings;
    settings.bounds = closingBounds_.value_or(outerBounds());
    settings.name = edit_name->text();
    settings.sounds = PlaySounds1->isChecked();
    settings.updateCheck = updatecheck->isChecked();
    writeSettings(iniPath(), settings);
}

// --- menus ------------------------------------------------------------------

void Tmain::buildMenu() {
    registerCheckMenuItems();
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* file1 = bar->addMenu(QStringLiteral("&File"));
    file1->setObjectName(QStringLiteral("file1"));
    StartGame1 = item(file1, "StartGame1", QStringLiteral("Start Game"));
    StartGame1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    DailyDeal1 = item(file1, "DailyDeal1", QStringLiteral("Daily Deal"));
    separator(file1, "N1");
    Exit1 = item(file1, "Exit1", QStringLiteral("Exit"));

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    PlaySounds1 = item(options, "PlaySounds1", QStringLiteral("Play Sounds"));
    PlaySounds1->setCheckable(true);
    PlaySounds1->setChecked(true);
    ResetScreenLocation1 =
        item(options, "ResetScreenLocation1", QStringLiteral("Reset Screen Location"));
    ChangeName1 = item(options, "ChangeName1", QStringLiteral("Change  Name"));
    updatecheck = item(options, "updatecheck", QStringLiteral("Automatically Check for Updates"));
    updatecheck->setCheckable(true);
    updatecheck->setChecked(true);
    updatecheck->setVisible(UpdateOffer::available());

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    TallyList1 = item(view, "TallyList1", QStringLiteral("Tally List"));
    ViewHighScoreList1 = item(view, "ViewHighScoreList1", QStringLiteral("View High Score List"));
    ViewHighScoreList1->setEnabled(false);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    Help2 = item(help, "Help2", QStringLiteral("Help"));
    Help2->setShortcut(QKeySequence(Qt::Key_F1));
    separator(help, "N2");
    About1 = item(help, "About1", QStringLiteral("About"));

    for (QAction* action : {StartGame1, Help2}) action->setShortcutContext(Qt::ApplicationShortcut);
    connect(StartGame1, &QAction::triggered, this, &Tmain::StartGame1Click);
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    connect(PlaySounds1, &QAction::triggered, this, &Tmain::PlaySounds1Click);
    connect(ResetScreenLocation1, &QAction::triggered, this, &Tmain::ResetScreenLocation1Click);
    connect(ChangeName1, &QAction::triggered, this, &Tmain::ChangeName1Click);
    connect(updatecheck, &QAction::triggered, this, &Tmain::updatecheckClick);
    auto showWindow = [](QWidget* w) {
        if (auto* window = dynamic_cast<SecondaryWindow*>(w)) window->showOverMain();
    };
    connect(TallyList1, &QAction::triggered, this,
            [this, showWindow] { showWindow(windows_.tallylist); });
    connect(ViewHighScoreList1, &QAction::triggered, this, &Tmain::ViewHighScoreList1Click);
    connect(Help2, &QAction::triggered, this, [this, showWindow] { showWindow(windows_.help); });
    connect(About1, &QAction::triggered, this, [this, showWindow] { showWindow(windows_.about); });
}

// QAction has already inverted the mark; the whole file is written at once. A
// write that fails is shown here, so the error never unwinds through Qt's
// signal delivery, and the mark stays as the player set it.
void Tmain::PlaySounds1Click() {
    if (PlaySounds1->isChecked()) cues_->prepare();
    guarded([this] { saveinifile(); });
}

void Tmain::updatecheckClick() {
    guarded([this] { saveinifile(); });
}

void Tmain::ResetScreenLocation1Click() {
    placeForScreen();
}

// --- the name panel ---------------------------------------------------------

void Tmain::ChangeName1Click() {
    openNamePanel();
}

void Tmain::openNamePanel() {
    board_->show(controls::panel_name);
    // Ready for typing: the box has the focus with its text selected, so a
    // new name replaces it and Enter keeps it.
    edit_aname->setFocus();
    edit_aname->selectAll();
}

void Tmain::button_namedoneClick() {
    edit_name->setText(edit_aname->text());
    board_->hide(controls::panel_name);
}

void Tmain::button_namecancelClick() {
    board_->hide(controls::panel_name);
}

// --- the game ---------------------------------------------------------------

void Tmain::button_startClick() {
    game_->startGame();
}
void Tmain::StartGame1Click() {
    game_->startGame();
}
void Tmain::button_continueClick() {
    game_->nextRound();
}
void Tmain::button_cancelClick() {
    game_->dismissGameOver();
}
void Tmain::turntimeTimer() {
    game_->tick();
}

void Tmain::image_card11Click(QObject* sender) {
    if (!sender) return;
    game_->place(sender->property("hint").toString().toInt());
}

// --- posting the score and the online list -----------------------------------

void Tmain::button_sendscoreClick() {
    if (edit_name->text().isEmpty()) edit_name->setText(QStringLiteral("Guest"));
    try {
        const QString score = QString::number(board_->tag(controls::label_score));
        const QString date = platform::postingDate(QDate::currentDate());
        if (Thighscore* list = windows_.highscore) list->sendscore(edit_name->text(), date, score);
    } catch (const std::exception&) {
        // A post that could not even be built ends as "Posting Failed.".
    }
    postingWait_->start();
}

void Tmain::button_highscoresClick() {
    Thighscore* list = windows_.highscore;
    if (!list) return;
    list->loadit();
    list->showOverMain();
}

void Tmain::ViewHighScoreList1Click() {
    button_highscoresClick();
}

void Tmain::image_logoClick() {
    if (windows_.vendorLink) windows_.vendorLink->OpenURL();
}
