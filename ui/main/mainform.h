#pragma once
#include <QHash>
#include <QMainWindow>
#include <QRect>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "game/controller.h"
#include "game/ports.h"
#include "game/random.h"
#include "net/url.h"
#include "platform/instancemarker.h"
#include "platform/sound.h"

class QAction;
class QLabel;
class QLineEdit;
class THttpCli;
class THTTPGet;
class TFlatPanel;
class TLbBackground;
class Thighscore;

namespace quintelle::ui {
class BoardKeys;
class BoardSpeech;
class Picture;
}

// The main window: the board, its pop-up panels, the round clock, the sound
// cues, the menus and the player's name. It is the game's view: the game
// controller writes the board through it by control name.
class Tmain : public QMainWindow,
              public quintelle::GameView,
              public quintelle::SoundSink,
              public quintelle::RoundClock {
    Q_OBJECT
  public:
    // The other windows, created after this one; the menus and the game
    // reach them through these. A window that could not be made is null.
    struct Windows {
        QWidget* tallylist = nullptr;
        QWidget* about = nullptr;
        QWidget* help = nullptr;
        Thighscore* highscore = nullptr;
        quintelle::TallySink* tally = nullptr;
        const TURL* vendorLink = nullptr;  // the about window's link
        std::function<void()> saveTally;   // writes the tally file now
    };

    static constexpr QSize kStandardSize{634, 586};
    static constexpr QPoint kStandardPosition{3, 3};
    static constexpr QSize kMinimumClient{676, 582};  // the board panel plus 5 each way

    Tmain();
    ~Tmain() override;

    void setWindows(const Windows& windows);

    // The tile every window of the program is covered with.
    QImage backgroundTile() const;
    QString productWord() const { return productWord_; }
    QString installerName() const { return installerName_; }
    QRect rememberedBounds() const { return remembered_; }
    quintelle::GameController& game() { return *game_; }
    quintelle::Random& random() { return random_; }

    // The keyboard cursor on the grid, as a cell address row*10+column; it
    // moves to any of 11..55 and ignores other addresses.
    void moveCursorTo(int address);
    int cursorCell() const;
    QTimer& turntime() { return turntime_; }
    // The posting wait: one tick a second while a score is being posted.
    QTimer& Timer1() { return Timer1_; }
    int waitcount() const { return waitcount_; }
    int dotcount() const { return dotcount_; }

    // Handlers.
    void button_startClick();
    void StartGame1Click();
    void button_continueClick();
    void button_cancelClick();
    void image_card11Click(QObject* sender);
    void turntimeTimer();
    void image_logoClick();
    void ChangeName1Click();
    void button_namedoneClick();
    void button_namecancelClick();
    void PlaySounds1Click();
    void updatecheckClick();
    void ResetScreenLocation1Click();
    void button_sendscoreClick();
    void button_highscoresClick();
    void ViewHighScoreList1Click();
    void Timer1Timer();
    // The server took the score: the game-over panel and the wait go.
    void scorePosted();

    // The update offer: a version text from the server, the panel's buttons,
    // and the download that hands over to the installer.
    void checkupdateDoneString(QObject* sender, const QString& body);
    void button_updateyesClick();
    void button_updatecancelClick();
    void downloadit();

    void loadinifile();
    void saveinifile();
    // The window's outer bounds, frame included: what the settings file
    // holds and "Reset Screen Location" sets.
    QRect outerBounds() const;
    void setOuterBounds(const QRect& frame);
    QString iniPath() const;

    // GameView: the board by control name.
    void setText(quintelle::Control control, std::string_view text) override;
    std::string text(quintelle::Control control) const override;
    void show(quintelle::Control control) override;
    void hide(quintelle::Control control) override;
    void clearPicture(quintelle::Control control) override;
    void drawCard(quintelle::Control control, int picture) override;
    void setTag(quintelle::Control control, int tag) override;
    int tag(quintelle::Control control) const override;
    void setWidth(quintelle::Control control, int width) override;
    using QMainWindow::hide;
    using QMainWindow::show;

    // SoundSink: every cue goes through the "Play Sounds" option.
    void playsounds(std::string_view cue) override;

    // RoundClock.
    void start() override;
    void stop() override;

    QWidget* control(const QString& name) const;

  signals:
    // A card was drawn into or cleared from a cell or the card on offer.
    void boardChanged();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormResize();
    void placeFrame();
    void buildMenu();
    void buildBoard(QWidget* client);
    void buildContinuePanel(QWidget* parent);
    void buildGameOverPanel(QWidget* parent);
    void buildNamePanel(QWidget* parent);
    void buildUpdatePanel(QWidget* parent);
    void restoreExecutable();
    void indexControls();
    void showPanel(QWidget* w);
    void openNamePanel();
    QWidget* named(quintelle::Control control) const;

    // The tally window is created after this one; until then nothing counts.
    struct TallyRelay : quintelle::TallySink {
        quintelle::TallySink* target = nullptr;
        void addtomineincrease(int index) override {
            if (target) target->addtomineincrease(index);
        }
        bool checkscore(int score, const std::string& name) override {
            return target && target->checkscore(score, name);
        }
    };

    // Fixed: the settings file is named after the product word before the
    // window is built.
    QString productWord_ = QStringLiteral("quintelle");
    QString installerName_ = QStringLiteral("qtlsetup.exe");
    // Where the running executable was moved aside to while updating.
    QString executable_;
    QString backup_;
    QSize standardSize_;
    QRect remembered_;
    std::optional<QRect> closingBounds_;  // the bounds the closing settled on
    // Outer bounds still to be given to the frame: the window manager tells
    // the frame's size only after the window is shown.
    std::optional<QRect> pendingFrame_;
    QMargins placedWith_;
    QTimer frameWatch_;
    int frameChecks_ = 0;
    std::unique_ptr<quintelle::platform::SoundService> sounds_;
    bool shownOnce_ = false;
    std::unique_ptr<quintelle::platform::InstanceMarker> marker_;
    TLbBackground* LbBackground1 = nullptr;
    QTimer turntime_;
    QTimer Timer1_;
    int waitcount_ = 0;
    int dotcount_ = 0;
    quintelle::Random random_;
    Windows windows_;
    TallyRelay tally_;
    QHash<QString, QWidget*> controls_;
    std::unique_ptr<quintelle::GameController> game_;
    quintelle::ui::BoardKeys* keys_ = nullptr;
    quintelle::ui::BoardSpeech* speech_ = nullptr;

    QAction* StartGame1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* PlaySounds1 = nullptr;
    QAction* ResetScreenLocation1 = nullptr;
    QAction* ChangeName1 = nullptr;
    QAction* updatecheck = nullptr;
    QAction* TallyList1 = nullptr;
    QAction* ViewHighScoreList1 = nullptr;
    QAction* Help2 = nullptr;
    QAction* About1 = nullptr;

    THttpCli* getupdate = nullptr;
    THTTPGet* checkupdate = nullptr;
    QLabel* label_update = nullptr;
    QLineEdit* edit_name = nullptr;
    QLineEdit* edit_aname = nullptr;
};
