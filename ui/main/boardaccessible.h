#pragma once
// How assistive technology sees the board: the 25 cells as a five by five
// table of focusable cells, the pop-up result panels as dialogs, and a
// notification that a screen reader speaks as it appears.
//
// Screen readers on the Linux desktop speak a notification when it is shown
// and a dialog's name and description when the focus enters it; a changed
// name they do not speak (Qt sends the object, not the text), so every
// message the board says goes through an Announcer.
#include <QLabel>
#include <QTimer>

namespace quintelle::ui {

// A label only a screen reader sees, exposed as a notification. Each message
// shows it anew; a few seconds later it is emptied and hidden, so no stale
// text stays in the tree.
class Announcer : public QLabel {
  public:
    explicit Announcer(QWidget* board);
    void say(const QString& text);

  private:
    QTimer expiry_;
};

// The cell widget's address, row*10+column, from its name "image_cardRC";
// 0 for any other widget.
int cellAddress(const QObject* object);

// Gives the board, its cells, its result panels, its clock and its
// announcer their accessibility; call it once they are built and named.
void exposeBoard(QWidget* board);

}  // namespace quintelle::ui
