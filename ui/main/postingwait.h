#pragma once
// The posting wait: while a score is being posted, `Timer1` ticks once a
// second and the wait panel's dots run; forty ticks without an answer say
// "Posting Failed.".
#include <QObject>
#include <QTimer>

class TFlatPanel;
class QWidget;

namespace quintelle::ui {

class PostingWait : public QObject {
    Q_OBJECT
  public:
    // `window` is the parent of the box that reports the failure.
    PostingWait(QWidget* window, TFlatPanel* panel);

    // Shows the panel and starts counting.
    void start();
    // The server answered: no more ticks.
    void stop() { Timer1_.stop(); }
    void Timer1Timer();

    QTimer& Timer1() { return Timer1_; }
    int waitcount() const { return waitcount_; }
    int dotcount() const { return dotcount_; }

  private:
    QWidget* window_;
    TFlatPanel* panel_;
    QTimer Timer1_;
    int waitcount_ = 0;
    int dotcount_ = 0;
};

}  // namespace quintelle::ui
