#pragma once
// Playing without a mouse: a cursor over the grid that the arrow keys move
// and Enter or Space lays the card under, and the keys of the pop-up panels.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "ui/main/celloverlay.h"

namespace quintelle {
class GameController;
}

namespace quintelle::ui {

class BoardView;

// The highlight over the cell under the keyboard cursor. It is a widget of
// its own, above the cells and below the pop-up panels, so the cell keeps its
// picture and tag; it lets every mouse click through.
class CursorFrame : public CellOverlay {
  public:
    explicit CursorFrame(QWidget* board);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The board's keys and the focus between the board and its panels.
//
// The cell under the cursor holds the focus while a round is dealing, the
// board itself otherwise; there the arrows,
// Home/End and Ctrl+Home/Ctrl+End move the cursor and Enter or Space clicks the
// cell under it, through the same handler as the mouse, so every rule, cue and
// refusal is the same. While no round is dealing the cursor is hidden and
// Enter presses START GAME.
//
// A panel that is shown takes the focus (its first control), Tab and
// Shift+Tab go round its controls, Enter presses the focused button or else
// the panel's default, Escape its cancel button; when it is hidden the focus
// goes back to the board. The update offer is the exception: it may come up
// at any moment, so it takes no focus and Enter keeps its meaning on the
// board, where Escape declines it.
class BoardKeys : public QObject {
  public:
    // The keys of `board`, in `window`, for `game`.
    BoardKeys(QWidget& window, BoardView& board, const GameController& game);

    // The cell under the cursor, row*10+column.
    int cell() const { return cell_; }
    // Moves the cursor to a cell (11..55); other addresses are ignored.
    void moveTo(int address);

    // The round clock runs exactly while a round is dealing.
    void roundStarted();
    void roundEnded();

    QWidget* board() const { return board_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Panel {
        QPointer<QWidget> panel;
        QStringList order;  // the controls Tab goes round, in order
        QString accept;     // pressed by Enter when no button has the focus
        QString cancel;     // pressed by Escape
        bool takesFocus = true;
    };

    bool boardKey(QKeyEvent* key);
    bool panelKey(const Panel& panel, QWidget* focus, QKeyEvent* key);
    std::vector<QWidget*> focusable(const Panel& panel) const;
    bool anyPanelUp() const;
    void press(const QString& button);
    QWidget* cellWidget(int address) const;
    void showCursor();
    // Whether the focus is on the board or one of its cells.
    bool boardFocused() const;
    static std::vector<int> cellAddresses();

    QWidget& window_;
    BoardView& view_;
    const GameController& game_;
    QWidget* board_;
    CursorFrame* frame_;
    std::vector<Panel> panels_;
    int cell_ = 11;
};

}  // namespace quintelle::ui
