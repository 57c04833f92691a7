#pragma once
// What a screen reader says about the board: each cell by its place and
// card, the card on offer, each line's hand and points, the result panels as
// they appear, and the refusals that otherwise only sound.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>

namespace quintelle::ui {

class BoardView;

class BoardSpeech : public QObject {
  public:
    // Names follow the tags and texts the game writes on `board`.
    explicit BoardSpeech(BoardView& board);

    // Says `text` with whatever else the same step of the game changed,
    // once control returns to the event loop.
    void announce(const QString& text);
    // The state of the round, as the status key says it.
    QString status() const;

    static QString cellName(int row, int column, int code);
    static QString offerName(int code);
    static QString cardName(int code);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void tagChanged(const QString& control);
    void textChanged(const QString& control);
    void nameCell(int row, int column);
    void nameLine(int line);
    int cellCode(int row, int column) const;
    QString labelText(const char* control) const;
    void clockChanged();
    void nameTotal();
    void flush();

    BoardView& board_;
    class Announcer* announcer_;
    QTimer flush_;
    // What the next message says, gathered during one step of the game.
    QStringList pending_;
    QString placement_;  // "X placed at row r, column c", waiting for the next card
    bool roundStarted_ = false;
    // The cards last seen in the cells, to tell a placement from a clearing.
    std::array<int, 25> seen_{};
    int replacement_ = 0;
    int bonus_ = 0;
};

}  // namespace quintelle::ui
