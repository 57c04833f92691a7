#pragma once
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace quintelle::ui {

// A mark laid over a cell and reaching `outside` pixels beyond it (the
// keyboard cursor, the hint's glow): it stays on its cell as the board scales.
class CellOverlay : public QWidget {
  public:
    CellOverlay(QWidget* board, int outside) : QWidget(board), outside_(outside) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    void around(QWidget* cell) {
        if (cell_ != cell) {
            if (cell_) cell_->removeEventFilter(this);
            cell_ = cell;
            if (cell_) cell_->installEventFilter(this);
        }
        follow();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == cell_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
            follow();
        return false;
    }

  private:
    void follow() {
        if (cell_)
            setGeometry(cell_->geometry().adjusted(-outside_, -outside_, outside_, outside_));
    }

    QPointer<QWidget> cell_;
    int outside_;
};

}  // namespace quintelle::ui
