#pragma once
// The main window (unit mainform): the window shell around the game. It
// holds the menus, the frame's placement, the settings and the player's name,
// and puts the parts together, each with its one job: the board (the game's
// view), the round clock, the sound cues, the coach, the keys, the update
// offer and the posting wait. The handlers keep the design's names.
#include <QMainWindow>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>

#include "game/controller.h"
#include "game/random.h"
#include "net/url.h"
#include "platform/instancemarker.h"
#include "ui/main/cueplayer.h"

class QAction;
class QLineEdit;
class QTimer;
class TLbBackground;
class Thighscore;

namespace quintelle::ui {
class BoardKeys;
class BoardSpeech;
class BoardView;
class DailyRound;
class FramePlacement;
class PostingWait;
class TurnTimer;
class UpdateOffer;
}  // namespace quintelle::ui

class Tmain : public QMainWindow {
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

    Tmain();
    ~Tmain() override;

    void setWindows(const Windows& windows);

    // The tile every window of the program is covered with.
    QImage backgroundTile() const;
    QString productWord() const { return productWord_; }
    QString installerName() const { return installerName_; }
    QRect rememberedBounds() const { return remembered_; }

    // The parts.
    quintelle::GameController& game() { return *game_; }
    quintelle::Random& random() { return random_; }
    quintelle::ui::BoardView& board() { return *board_; }
    quintelle::ui::UpdateOffer& updateOffer() { return *updateOffer_; }
    quintelle::ui::PostingWait& postingWait() { return *postingWait_; }
    quintelle::ui::DailyRound& dailyRound() { return *daily_; }
    QTimer& turntime();
    // A control of the board by name; null when there is none.
    QWidget* control(const QString& name) const;
    // The keyboard cursor on the grid, as a cell address row*10+column; it
    // moves to any of 11..55 and ignores other addresses.
    void moveCursorTo(int address);
    int cursorCell() const;

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

    void loadinifile();
    void saveinifile();
    // The window's outer bounds, frame included: what the settings file
    // holds and "Reset Screen Location" sets.
    QRect outerBounds() const;
    void setOuterBounds(const QRect& frame);
    // The first start's and "Reset Screen Location"'s place: near the work
    // area's corner, showing the largest board that fits it well.
    void placeForScreen();
    QString iniPath() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormResize();
    void buildMenu();
    void connectBoard();
    void openNamePanel();
    // The window may shrink the board to a legible size, or as far as its
    // screen needs.
    void limitToScreen();

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
    const QString productWord_ = QStringLiteral("quintelle");
    const QString installerName_ = QStringLiteral("qtlsetup.exe");
    QRect remembered_;
    std::optional<QRect> closingBounds_;  // the bounds the closing settled on
    bool shownOnce_ = false;
    std::unique_ptr<quintelle::platform::InstanceMarker> marker_;
    quintelle::Random random_;
    Windows windows_;
    TallyRelay tally_;
    QMetaObject::Connection postingEnded_;

    quintelle::ui::BoardView* board_ = nullptr;
    quintelle::ui::FramePlacement* frame_ = nullptr;
    quintelle::ui::TurnTimer* clock_ = nullptr;
    std::unique_ptr<quintelle::ui::CuePlayer> cues_;
    std::unique_ptr<quintelle::GameController> game_;
    quintelle::ui::BoardKeys* keys_ = nullptr;
    quintelle::ui::BoardSpeech* speech_ = nullptr;
    quintelle::ui::UpdateOffer* updateOffer_ = nullptr;
    quintelle::ui::PostingWait* postingWait_ = nullptr;
    quintelle::ui::DailyRound* daily_ = nullptr;
    TLbBackground* LbBackground1 = nullptr;

    QAction* StartGame1 = nullptr;
    QAction* DailyDeal1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* PlaySounds1 = nullptr;
    QAction* ResetScreenLocation1 = nullptr;
    QAction* ChangeName1 = nullptr;
    QAction* updatecheck = nullptr;
    QAction* TallyList1 = nullptr;
    QAction* ViewHighScoreList1 = nullptr;
    QAction* Help2 = nullptr;
    QAction* About1 = nullptr;

    QLineEdit* edit_name = nullptr;
    QLineEdit* edit_aname = nullptr;
};
