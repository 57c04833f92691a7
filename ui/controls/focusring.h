#pragma once
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QRect>
#include <QRegion>

// A band of gold `gold` pixels wide between two one-pixel dark lines, along
// the inside edge of `area`: it stands out on light faces, on dark wood and on
// the green felt alike. What lies inside the band is left as it is.
inline void paintRing(QPainter& p, const QRect& area, int gold) {
    const int width = gold + 2;
    p.save();
    p.setClipRegion(QRegion(area).subtracted(QRegion(area.adjusted(width, width, -width, -width))),
                    Qt::IntersectClip);
    p.fillRect(area, QColor(20, 20, 20));
    p.fillRect(area.adjusted(1, 1, -1, -1), QColor(255, 210, 40));
    p.fillRect(area.adjusted(gold + 1, gold + 1, -gold - 1, -gold - 1), QColor(20, 20, 20));
    p.restore();
}

// The ring that shows which button has the keyboard focus.
//
// It shows for focus that came from the keyboard or from the program, not for
// the focus a window hands its first button as it opens, so a window looks
// as it always did until the player presses a key in it.
class FocusRing {
  public:
    void focusIn(const QFocusEvent* event) {
        shown_ = event->reason() != Qt::ActiveWindowFocusReason &&
                 event->reason() != Qt::MouseFocusReason;
    }
    void focusOut() { shown_ = false; }
    // A key pressed in the button: the player is at the keyboard.
    void keyed() { shown_ = true; }

    // Marks the ring as keyed; true when the key is one that presses a
    // focused button (Space, Return, Enter).
    bool pressesButton(const QKeyEvent* event) {
        keyed();
        const int key = event->key();
        return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    }

    void paint(QPainter& p, const QRect& area, bool focused) const {
        if (focused && shown_) paintRing(p, area, 2);
    }

  private:
    bool shown_ = false;
};
