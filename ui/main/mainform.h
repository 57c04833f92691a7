#pragma once
#include <QHash>
#include <QMainWindow>
#include <QRect>
#include <QTimer>
#include <memory>
#include <optional>

#include "game/controller.h"
#include "game/ports.h"
#include "game/random.h"
#include "net/url.h"
#include "platform/instancemarker.h"

class QAction;
class QLineEdit;
class TFlatPanel;
class TLbBackground;

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
    // reach them through these.
    struct Windows {
        QWidget* tallylist = nullptr;
        QWidget* about = nullptr;
        QWidget* help = nullptr;
        QWidget* highscore = nullptr;
        quintelle::TallySink* tally = nullptr;
        const TURL* vendorLink = nullptr;  // the about window's link
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

    void loadinifile();
    void saveinifile();
    QString iniPath() const;

    // GameView: the board by control name.
    void setText(std::string_view control, std::string_view text) override;
    std::string text(std::string_view control) const override;
    void show(std::string_view control) override;
    void hide(std::string_view control) override;
    void clearPicture(std::string_view control) override;
    void drawCard(std::string_view control, int picture) override;
    void setTag(std::string_view control, int tag) override;
    int tag(std::string_view control) const override;
    void setWidth(std::string_view control, int width) override;
    using QMainWindow::hide;
    using QMainWindow::show;

    // SoundSink: every cue goes through the "Play Sounds" option.
    void playsounds(std::string_view cue) override;

    // RoundClock.
    void start() override;
    void stop() override;

    QWidget* control(const QString& name) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void buildMenu();
    void buildBoard(QWidget* client);
    void buildContinuePanel(QWidget* parent);
    void buildGameOverPanel(QWidget* parent);
    void buildNamePanel(QWidget* parent);
    void indexControls();
    void showPanel(QWidget* w);
    void openNamePanel();
    QWidget* named(std::string_view name) const;

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

    QString productWord_;
    QString installerName_;
    QSize standardSize_;
    QRect remembered_;
    std::optional<QRect> closingBounds_;  // the bounds the closing settled on
    bool shownOnce_ = false;
    std::unique_ptr<quintelle::platform::InstanceMarker> marker_;
    TLbBackground* LbBackground1 = nullptr;
    QTimer turntime_;
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

    QLineEdit* edit_name = nullptr;
    QLineEdit* edit_aname = nullptr;
};
