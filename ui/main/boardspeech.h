#pragma once
// What a screen reader says about the board: each cell by its place and
// card, the card on offer, each line's hand and points, the result panels as
// they appear, and the refusals that otherwise only sound.
#include <QObject>
#include <QString>

class QLabel;

namespace quintelle::ui {

class BoardView;

class BoardSpeech : public QObject {
  public:
    // Names follow the tags and texts the game writes on `board`.
    explicit BoardSpeech(BoardView& board);

    // Says `text` at once, as an alert; the last one stays readable.
    void announce(const QString& text);

    static QString cellName(int row, int column, int code);
    static QString offerName(int code);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void tagChanged(const QString& control);
    void textChanged(const QString& control);
    void nameCell(int row, int column);
    void nameLine(int line);
    int cellCode(int row, int column) const;

    BoardView& board_;
    QLabel* announcer_;
};

}  // namespace quintelle::ui
