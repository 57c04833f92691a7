#include "ui/main/mainform.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

#include "data/inifile.h"
#include "net/httpcli.h"
#include "net/httpget.h"
#include "net/server.h"
#include "platform/appdir.h"
#include "platform/dates.h"
#include "platform/sound.h"
#include "platform/workarea.h"
#include "ui/art/art.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/LbBack.h"
#include "ui/controls/TFlatPanelUnit.h"
#include "ui/controls/tag.h"
#include "ui/highscore/highscoreform.h"
#include "ui/main/application.h"
#include "ui/main/boardkeys.h"
#include "ui/main/boardspeech.h"
#include "ui/main/hintcontroller.h"
#include "ui/main/keptart.h"
#include "ui/art/palette.h"
#include "ui/main/secondarywindow.h"
#include "ui/main/widgets.h"

using namespace quintelle;
using namespace quintelle::ui;

namespace {

constexpr auto kSection = "quintelle";

QRect at(int x, int y, int w, int h) {
    return QRect(x, y, w, h);
}

TFlatPanel* makePanel(QWidget* parent, const char* name, QRect geometry, bool transparent,
                      QColor frame) {
    auto* panel = new TFlatPanel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setTransparent(transparent);
    panel->setColorHighLight(frame);
    panel->setColorShadow(frame);
    panel->setColor(palette::wood);
    return panel;
}

// The brown picture that fills a pop-up panel.
void addPanelBackground(QWidget* panel, const char* name) {
    makePicture(
        panel, name, panel->rect(),
        [panel](qreal dpr) { return kept::panelBackground(panel->size(), dpr); }, true);
}

// A name box, typing limited to ten characters.
QLineEdit* makeNameEdit(QWidget* parent, const char* name, QRect geometry) {
    auto* edit = new NameEdit(parent, name, geometry, 10);
    edit->setFont(makeFont(FontSpec{"MS Sans Serif", 19}));
    return edit;
}

bool soundsOn(const IniFile& ini) {
    return ini.readString(kSection, "Sounds", "yes") != "no";
}

const FontSpec kArial16Bold{"Arial", 16, true};
const FontSpec kArial13Bold{"Arial", 13, true};
const FontSpec kSans16Bold{"MS Sans Serif", 16, true};
const FontSpec kSans16BoldUnderline{"MS Sans Serif", 16, true, true};
const FontSpec kSans19Bold{"MS Sans Serif", 19, true};
const FontSpec kSans19BoldUnderline{"MS Sans Serif", 19, true, true};
const FontSpec kSans21BoldUnderline{"MS Sans Serif", 21, true, true};

}  // namespace

Tmain::Tmain() : QMainWindow(nullptr) {
    sounds_ = std::make_unique<platform::SoundService>();
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Quintelle"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setMinimumSize(kMinimumClient);
    setCentralWidget(client);
    QPalette look = this->palette();
    look.setColor(QPalette::Window, palette::wood);
    setPalette(look);
    setFont(makeFont(FontSpec{}));

    buildMenu();
    buildBoard(client);
    indexControls();
    keys_ = new BoardKeys(*this);
    speech_ = new BoardSpeech(*this);

    turntime_.setInterval(1000);
    connect(&turntime_, &QTimer::timeout, this, &Tmain::turntimeTimer);
    frameWatch_.setInterval(25);
    connect(&frameWatch_, &QTimer::timeout, this, &Tmain::placeFrame);
    Timer1_.setInterval(1000);
    connect(&Timer1_, &QTimer::timeout, this, &Tmain::Timer1Timer);
    game_ = std::make_unique<GameController>(*this, *this, *this, tally_, random_);
    new HintController(*this);  // owned by this window

    FormCreate();
}

Tmain::~Tmain() = default;

void Tmain::setWindows(const Windows& windows) {
    windows_ = windows;
    tally_.target = windows.tally;
    ViewHighScoreList1->setEnabled(bool(windows.highscore));
}

QImage Tmain::backgroundTile() const {
    return LbBackground1->image();
}

// --- creation, showing, closing -------------------------------------------

void Tmain::FormCreate() {
    getupdate = new THttpCli(this);
    checkupdate = new THTTPGet(this);
    checkupdate->setObjectName(QStringLiteral("checkupdate"));
    // The version text is compared byte for byte; Latin-1 keeps every byte.
    checkupdate->OnDoneString = [this](THTTPGet* sender, const QByteArray& body) {
        checkupdateDoneString(sender, QString::fromLatin1(body));
    };
    marker_ = std::make_unique<platform::InstanceMarker>(productWord_);
    LbBackground1 = coverWithTile(centralWidget(), kept::woodTile());
    standardSize_ = kStandardSize;
    random_.seed(platform::utcMillisecondsOfDay());
    loadinifile();
    playsounds("entered");
    openNamePanel();
}

void Tmain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (pendingFrame_) {
        frameChecks_ = 0;
        placeFrame();
        frameWatch_.start();
    }
    // The window is shown once per run, and so the check starts at most once.
    if (!std::exchange(shownOnce_, true)) FormShow();
}

void Tmain::FormShow() {
    if (!updatecheck->isChecked()) return;
    net::aimAtVendor(*checkupdate, net::vendorpath::versionText());
    checkupdate->StartFetch();
}

void Tmain::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void Tmain::FormClose() {
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
    QSize needed = size();
    if (height() - menu < kMinimumClient.height()) needed.setHeight(menu + kMinimumClient.height());
    if (width() < kMinimumClient.width()) needed.setWidth(kMinimumClient.width());
    if (needed != size()) resize(needed);
}

QRect Tmain::outerBounds() const {
    const QWindow* window = windowHandle();
    return geometry().marginsAdded(window ? window->frameMargins() : QMargins());
}

void Tmain::setOuterBounds(const QRect& frame) {
    pendingFrame_ = frame;
    placedWith_ = QMargins(-1, -1, -1, -1);
    frameChecks_ = 0;
    placeFrame();
    if (isVisible()) frameWatch_.start();
}

// Gives the window the client geometry that puts its frame on the pending
// outer bounds, with the frame as it is known now. The window manager adds
// the frame after the window is shown, so this runs again for a short while
// until the frame's margins have arrived.
void Tmain::placeFrame() {
    if (!pendingFrame_) return frameWatch_.stop();
    const QWindow* window = windowHandle();
    const QMargins margins = window ? window->frameMargins() : QMargins();
    if (margins != placedWith_) {
        placedWith_ = margins;
        setGeometry(pendingFrame_->marginsRemoved(margins));
    }
    if (!isVisible()) {
        // Asked before the first showing, the window manager places the
        // frame itself at the position, so the window opens where it
        // belongs; its size follows once the frame is known.
        winId();
        windowHandle()->setFramePosition(pendingFrame_->topLeft());
        return;
    }
    // A window manager frames a new window within moments; without one the
    // margins stay empty and the first placement was already right.
    if (!margins.isNull() || ++frameChecks_ > 120) {
        frameWatch_.stop();
        pendingFrame_.reset();
    }
}

// --- settings ---------------------------------------------------------------

QString Tmain::iniPath() const {
    return platform::playerFilesFolder() + productWord_ + QStringLiteral(".ini");
}

void Tmain::loadinifile() {
    const IniFile ini(QFile::encodeName(iniPath()).toStdString());
    const int top = ini.readInteger(kSection, "Top", kStandardPosition.y());
    const int left = ini.readInteger(kSection, "Left", kStandardPosition.x());
    const int width = ini.readInteger(kSection, "Width", standardSize_.width());
    const int height = ini.readInteger(kSection, "Height", standardSize_.height());
    remembered_ = QRect(left, top, width, height);
    setOuterBounds(remembered_);
    PlaySounds1->setChecked(soundsOn(ini));
    updatecheck->setChecked(ini.readString(kSection, "Update", "true") != "false");
    edit_name->setText(fromLocalBytes(ini.readString(kSection, "Name", "Guest")));
    edit_aname->setText(edit_name->text());
    // Read here only, never written: an installed game can be pointed at
    // another server by hand. A value that is not "host[:port]" is ignored.
    if (const auto server =
            net::parseServer(fromLocalBytes(ini.readString(kSection, "Server", ""))))
        net::setVendorServer(*server);
}

void Tmain::saveinifile() {
    platform::createPlayerFilesFolder();
    const QRect bounds = closingBounds_.value_or(outerBounds());
    IniFile ini(QFile::encodeName(iniPath()).toStdString());
    ini.writeInteger(kSection, "Top", bounds.y());
    ini.writeInteger(kSection, "Left", bounds.x());
    ini.writeInteger(kSection, "Width", bounds.width());
    ini.writeInteger(kSection, "Height", bounds.height());
    ini.writeString(kSection, "Name", edit_name->text().toLocal8Bit().toStdString());
    ini.writeString(kSection, "Sounds", PlaySounds1->isChecked() ? "yes" : "no");
    ini.writeString(kSection, "Update", updatecheck->isChecked() ? "true" : "false");
    ini.save();
}

// --- menus ------------------------------------------------------------------

void Tmain::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto item = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* file1 = bar->addMenu(QStringLiteral("File"));
    file1->setObjectName(QStringLiteral("file1"));
    StartGame1 = item(file1, "StartGame1", QStringLiteral("Start Game"));
    StartGame1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    separator(file1, "N1");
    Exit1 = item(file1, "Exit1", QStringLiteral("Exit"));

    QMenu* options = bar->addMenu(QStringLiteral("Options"));
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

    QMenu* view = bar->addMenu(QStringLiteral("View"));
    view->setObjectName(QStringLiteral("View1"));
    TallyList1 = item(view, "TallyList1", QStringLiteral("Tally List"));
    ViewHighScoreList1 = item(view, "ViewHighScoreList1", QStringLiteral("View High Score List"));
    ViewHighScoreList1->setEnabled(false);

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
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
    connect(Help2, &QAction::triggered, this, [this, showWindow] {
        showWindow(windows_.help);
    });
    connect(About1, &QAction::triggered, this, [this, showWindow] { showWindow(windows_.about); });
}

// QAction has already inverted the mark; the whole file is written at once. A
// write that fails is shown here, so the error never unwinds through Qt's
// signal delivery, and the mark stays as the player set it.
void Tmain::PlaySounds1Click() {
    if (PlaySounds1->isChecked()) sounds_->prepare();
    guarded([this] { saveinifile(); });
}

void Tmain::updatecheckClick() {
    guarded([this] { saveinifile(); });
}

void Tmain::ResetScreenLocation1Click() {
    // Position and size together; the board's minimum then enlarges it again.
    setOuterBounds(QRect(kStandardPosition, standardSize_));
}

void Tmain::ChangeName1Click() {
    openNamePanel();
}

void Tmain::openNamePanel() {
    showPanel(named(controls::panel_name));
    // Ready for typing: the box has the focus with its text selected, so a
    // new name replaces it and Enter keeps it.
    edit_aname->setFocus();
    edit_aname->selectAll();
}

void Tmain::button_namedoneClick() {
    edit_name->setText(edit_aname->text());
    named(controls::panel_name)->hide();
}

void Tmain::button_namecancelClick() {
    named(controls::panel_name)->hide();
}

// --- posting the score and the online list -----------------------------------

void Tmain::button_sendscoreClick() {
    if (edit_name->text().isEmpty()) edit_name->setText(QStringLiteral("Guest"));
    try {
        const QString score = QString::number(tag(controls::label_score));
        const QString date = platform::postingDate(QDate::currentDate());
        if (Thighscore* list = windows_.highscore) list->sendscore(edit_name->text(), date, score);
    } catch (const std::exception&) {
        // A post that could not even be built ends as "Posting Failed.".
    }
    waitcount_ = 40;
    dotcount_ = 0;
    Timer1_.start();
    showPanel(named(controls::panel_wait));
}

void Tmain::Timer1Timer() {
    --waitcount_;
    if (++dotcount_ > 5) dotcount_ = 1;
    static_cast<TFlatPanel*>(named(controls::panel_wait))
        ->setCaption(QStringLiteral("Posting Score, Please Wait") +
                     QString(dotcount_, QLatin1Char('.')));
    if (waitcount_ == 0) {
        // Ticks go on while the box is open; only this one tick shows it.
        QMessageBox::information(this, QStringLiteral("Quintelle"),
                                 QStringLiteral("Posting Failed."));
        Timer1_.stop();
    }
}

void Tmain::scorePosted() {
    hide(controls::panel_cleared);
    Timer1_.stop();
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

// --- the board --------------------------------------------------------------

void Tmain::buildBoard(QWidget* client) {
    TFlatPanel* board =
        makePanel(client, "panel_board", at(2, 5, 671, 577), true, palette::boardFrame);
    makeLabel(board, "label_name", at(14, 10, 327, 16),
              QStringLiteral("Welcome to Quintelle  by Orvanta Software!"),
              FontSpec{"MS Sans Serif", 13}, palette::cream);
    TFlatPanel* inner = makePanel(board, "panel_board1", at(6, 33, 659, 538), true, palette::wood);

    makePicture(inner, "Image27", at(3, 2, 455, 534), kept::board);
    auto* logo = new Picture(inner, "image_logo", at(462, 497, 194, 40), kept::logo);
    logo->setCursor(Qt::PointingHandCursor);
    connect(logo, &Picture::clicked, this, &Tmain::image_logoClick);
    makeLabel(inner, "label_score", at(497, 224, 129, 20), QStringLiteral("Score: 0"), kSans16Bold,
              palette::cream, Qt::AlignHCenter);
    makePicture(inner, "Image1", at(495, 172, 135, 29), kept::clockFrame, true);
    makePicture(inner, "image_timer", at(497, 174, 131, 25), kept::clockBar);
    makeLabel(inner, "label_timer", at(501, 177, 87, 19), QStringLiteral("Time: 0:00"),
              kArial16Bold, Qt::black, Qt::AlignHCenter);

    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            const std::string name(controls::cell(r, c).name());
            auto* cell =
                new CardImage(inner, name.c_str(), QPoint(9 + 75 * (c - 1), 8 + 100 * (r - 1)));
            cell->setProperty("hint", QString::number(r * 10 + c));
            cell->setCursor(Qt::PointingHandCursor);
            connect(cell, &Picture::clicked, this, &Tmain::image_card11Click);
        }
    const int rowTops[5] = {47, 147, 247, 348, 447};
    for (int n = 1; n <= 5; ++n)
        makeLabel(inner, std::string(controls::line(n).name()).c_str(), at(397, rowTops[n - 1], 56, 19),
                  QStringLiteral("0"), kArial16Bold, palette::cream, Qt::AlignHCenter);
    const int columnLefts[5] = {7, 87, 162, 236, 311};
    for (int n = 6; n <= 10; ++n)
        makeLabel(inner, std::string(controls::line(n).name()).c_str(), at(columnLefts[n - 6], 514, 73, 19),
                  QStringLiteral("0"), kArial16Bold, palette::cream, Qt::AlignHCenter);
    makeLabel(inner, "label_thisturn", at(395, 506, 54, 19), QStringLiteral("0"), kArial16Bold,
              palette::cream, Qt::AlignHCenter);

    makePicture(inner, "Image3", at(504, 4, 117, 163), kept::offerFrame);
    auto* topcard = new CardImage(inner, "image_topcard", QPoint(527, 46));
    topcard->setTransparentForMouse(true);
    makeLabel(inner, "label_roundnum", at(510, 9, 105, 16), QStringLiteral("Round: 100"),
              kArial13Bold, palette::cream, Qt::AlignHCenter);
    Picture* replace =
        makePicture(inner, "image_replace", at(514, 146, 97, 14), kept::replacementWord);
    ::setTag(replace, 1);
    replace->hide();
    makeLabel(inner, "label_cardcount", at(509, 25, 107, 16), QStringLiteral("Cards Left: "),
              kArial13Bold, palette::cream, Qt::AlignHCenter);
    makeLabel(inner, "label_targetscore", at(497, 208, 129, 13),
              QStringLiteral("Target Score: 200"), FontSpec{"MS Sans Serif", 11, true},
              palette::cream, Qt::AlignHCenter);
    ImageButton* start =
        makePictureButton(inner, "button_start", QPoint(494, 462), art::ButtonWord::StartGame);
    connect(start, &ImageButton::clicked, this, &Tmain::button_startClick);
    makePicture(inner, "Image2", at(466, 250, 192, 208), kept::scoringTable);

    buildNamePanel(inner);
    buildUpdatePanel(inner);
    buildGameOverPanel(inner);
    buildContinuePanel(inner);
}

void Tmain::buildContinuePanel(QWidget* parent) {
    TFlatPanel* panel =
        makePanel(parent, "panel_continue", at(27, 88, 329, 297), false, palette::popupFrame);
    addPanelBackground(panel, "Image5");
    makeLabel(panel, "label_continue", at(8, 8, 313, 24), QStringLiteral("WAY TO GO!"),
              kSans21BoldUnderline, palette::emphasis, Qt::AlignHCenter, true);
    makeLabel(panel, "Label2", at(8, 40, 313, 63),
              QStringLiteral("You earned enough to continue to the next round!"), kSans19Bold,
              palette::cream, Qt::AlignHCenter, true);
    makeLabel(panel, "label_previous", at(32, 109, 265, 20), QStringLiteral("Previous Score: "),
              kSans16Bold, palette::cream, Qt::AlignHCenter);
    makeLabel(panel, "label_turnscore", at(32, 133, 265, 20), QStringLiteral("This Round: "),
              kSans16Bold, palette::cream, Qt::AlignHCenter);
    makeLabel(panel, "label_timebonus", at(32, 157, 265, 20), QStringLiteral("Time Bonus: "),
              kSans16BoldUnderline, palette::cream, Qt::AlignHCenter);
    makeLabel(panel, "label_total", at(32, 181, 265, 20), QStringLiteral("Total: "), kSans19Bold,
              palette::emphasis, Qt::AlignHCenter);
    makeLabel(panel, "label_ts", at(32, 213, 265, 20), QStringLiteral("Target Score: "),
              kSans16Bold, palette::emphasis, Qt::AlignHCenter);
    ImageButton* done =
        makePictureButton(panel, "button_continue", QPoint(117, 250), art::ButtonWord::Done);
    connect(done, &ImageButton::clicked, this, &Tmain::button_continueClick);
    panel->hide();
}

void Tmain::buildGameOverPanel(QWidget* parent) {
    TFlatPanel* panel =
        makePanel(parent, "panel_cleared", at(28, 89, 329, 336), false, palette::popupFrame);
    addPanelBackground(panel, "Image4");
    makeLabel(panel, "Label1", at(-1, 10, 327, 24), QStringLiteral("Game Over!"),
              kSans19BoldUnderline, palette::emphasis, Qt::AlignHCenter);
    makeLabel(panel, "label_previous1", at(32, 45, 265, 20), QStringLiteral("Score: 0"),
              kSans16Bold, palette::cream, Qt::AlignHCenter);
    makeLabel(panel, "label_turnscore1", at(32, 69, 265, 20), QStringLiteral("This Round: "),
              kSans16Bold, palette::cream, Qt::AlignHCenter);
    makeLabel(panel, "label_timebonus1", at(32, 93, 265, 20), QStringLiteral("Time Bonus: "),
              kSans16BoldUnderline, palette::cream, Qt::AlignHCenter);
    makeLabel(panel, "label_score1", at(2, 121, 327, 24), QStringLiteral("Your Score: "),
              kSans19Bold, palette::emphasis, Qt::AlignHCenter);
    makeLabel(panel, "label_ts1", at(32, 150, 265, 20), QStringLiteral("Target Score: "),
              kSans16Bold, palette::emphasis, Qt::AlignHCenter);
    makeLabel(panel, "Label3", at(2, 173, 327, 24), QStringLiteral("Enter Your Name"), kSans19Bold,
              palette::cream, Qt::AlignHCenter);
    edit_name = makeNameEdit(panel, "edit_name", at(83, 195, 161, 32));
    ImageButton* send =
        makePictureButton(panel, "button_sendscore", QPoint(26, 245), art::ButtonWord::SendScore);
    connect(send, &ImageButton::clicked, this, &Tmain::button_sendscoreClick);
    ImageButton* highscores = makePictureButton(panel, "button_highscores", QPoint(171, 245),
                                                art::ButtonWord::HighScores);
    connect(highscores, &ImageButton::clicked, this, &Tmain::button_highscoresClick);
    ImageButton* cancel =
        makePictureButton(panel, "button_cancel", QPoint(114, 293), art::ButtonWord::Cancel);
    connect(cancel, &ImageButton::clicked, this, &Tmain::button_cancelClick);
    TFlatPanel* wait = makePanel(panel, "panel_wait", at(19, 238, 288, 46), false, palette::wood);
    wait->setCaption(QStringLiteral("Posting Score, Please Wait......"));
    wait->setAlignment(Qt::AlignLeft);
    wait->setFont(makeFont(FontSpec{"MS Sans Serif", 19}));
    wait->setFontColor(palette::cream);
    wait->hide();
    panel->hide();
}

void Tmain::buildNamePanel(QWidget* parent) {
    TFlatPanel* panel =
        makePanel(parent, "panel_name", at(27, 112, 329, 161), false, palette::popupFrame);
    addPanelBackground(panel, "Image6");
    makeLabel(panel, "Label4", at(2, 16, 325, 24), QStringLiteral("ENTER YOUR NAME"),
              kSans19BoldUnderline, palette::emphasis, Qt::AlignHCenter);
    edit_aname = makeNameEdit(panel, "edit_aname", at(83, 54, 161, 32));
    ImageButton* done =
        makePictureButton(panel, "button_namedone", QPoint(62, 112), art::ButtonWord::Done);
    ImageButton* cancel =
        makePictureButton(panel, "button_namecancel", QPoint(172, 112), art::ButtonWord::Cancel);
    connect(done, &ImageButton::clicked, this, &Tmain::button_namedoneClick);
    connect(cancel, &ImageButton::clicked, this, &Tmain::button_namecancelClick);
    panel->hide();
}

void Tmain::buildUpdatePanel(QWidget* parent) {
    TFlatPanel* panel =
        makePanel(parent, "panel_update", at(29, 104, 329, 148), false, palette::popupFrame);
    addPanelBackground(panel, "Image7");
    makeLabel(panel, "Label5", at(2, 12, 325, 24), QStringLiteral("Update Available"),
              kSans19BoldUnderline, palette::emphasis, Qt::AlignHCenter);
    makeLabel(panel, "Label6", at(2, 44, 325, 20), QStringLiteral("Would you like to update now?"),
              kSans16Bold, palette::cream, Qt::AlignHCenter);
    ImageButton* yes =
        makePictureButton(panel, "button_updateyes", QPoint(62, 76), art::ButtonWord::Yes);
    ImageButton* cancel =
        makePictureButton(panel, "button_updatecancel", QPoint(172, 76), art::ButtonWord::Cancel);
    connect(yes, &ImageButton::clicked, this, &Tmain::button_updateyesClick);
    connect(cancel, &ImageButton::clicked, this, &Tmain::button_updatecancelClick);
    label_update = makeLabel(panel, "label_update", at(2, 120, 325, 20), QString(), kSans16Bold,
                             palette::cream, Qt::AlignHCenter);
    panel->hide();
}

void Tmain::indexControls() {
    for (QWidget* w : findChildren<QWidget*>())
        if (!w->objectName().isEmpty()) controls_.insert(w->objectName(), w);
}

QWidget* Tmain::control(const QString& name) const {
    return controls_.value(name, nullptr);
}

// A control the game names must be on the board: checked for every name by
// the layout's tests, and here in builds with assertions.
QWidget* Tmain::named(Control name) const {
    QWidget* w = control(QString::fromLatin1(name.name().data(), qsizetype(name.name().size())));
    Q_ASSERT_X(w, "Tmain", "no control of this name on the board");
    return w;
}

void Tmain::showPanel(QWidget* w) {
    if (!w) return;
    w->show();
    w->raise();
}

// --- handlers -----------------------------------------------------------------

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

// --- the game's view ------------------------------------------------------------

void Tmain::setText(Control name, std::string_view text) {
    QWidget* w = named(name);
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(fromLocalBytes(text));
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(fromLocalBytes(text));
    else if (auto* panel = qobject_cast<TFlatPanel*>(w))
        panel->setCaption(fromLocalBytes(text));
    if (w) speech_->textChanged(w->objectName());
}

std::string Tmain::text(Control name) const {
    QWidget* w = named(name);
    QString t;
    if (auto* label = qobject_cast<QLabel*>(w))
        t = label->text();
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        t = edit->text();
    return t.toLocal8Bit().toStdString();
}

void Tmain::show(Control name) {
    showPanel(named(name));
}

void Tmain::hide(Control name) {
    if (QWidget* w = named(name)) w->hide();
}

void Tmain::clearPicture(Control name) {
    if (auto* image = qobject_cast<CardImage*>(named(name))) image->clearCard();
    emit boardChanged();
}

void Tmain::drawCard(Control name, int picture) {
    if (auto* image = qobject_cast<CardImage*>(named(name))) image->drawCard(picture);
    emit boardChanged();
}

void Tmain::setTag(Control name, int tag) {
    QWidget* w = named(name);
    ::setTag(w, tag);
    if (w) speech_->tagChanged(w->objectName());
}

int Tmain::tag(Control name) const {
    return tagOf(named(name));
}

void Tmain::setWidth(Control name, int width) {
    if (QWidget* w = named(name)) w->resize(std::max(0, width), w->height());
}

void Tmain::playsounds(std::string_view cue) {
    // The one refusal of the game is otherwise only heard.
    if (cue == "invalid") speech_->announce(QStringLiteral("No replacement left"));
    if (!PlaySounds1->isChecked()) return;
    sounds_->play(fromLocalBytes(cue));
}

// The clock runs exactly while a round is dealing, and so does the cursor.
void Tmain::start() {
    turntime_.start();
    keys_->roundStarted();
}
void Tmain::stop() {
    turntime_.stop();
    keys_->roundEnded();
}

void Tmain::moveCursorTo(int address) {
    keys_->moveTo(address);
}

int Tmain::cursorCell() const {
    return keys_->cell();
}
