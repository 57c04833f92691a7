#pragma once
// The posting wait: while a score is being posted, `Timer1` ticks once a
// second and the wait panel's dots run. The post ends as the high-score
// window tells (Thighscore::postingEnded): taken, the game-over panel goes;
// refused, the server's reason is shown; failed, or forty ticks without an
// answer, "Posting Failed.". After a refusal or a failure the wait strip is
// gone, so SEND SCORE and HIGH SCORES work again and the score can be sent
// once more.
#include <QObject>
#include <QTimer>

#include "ui/highscore/highscoreform.h"

class TFlatPanel;
class QWidget;

namespace quintelle::ui {

class PostingWait : public QObject {
    Q_OBJECT
  public:
    // `window` is the parent of the boxes; `panel` the wait strip inside the
    // game-over panel `gameOver`.
    PostingWait(QWidget* window, TFlatPanel* panel, QWidget* gameOver);

    // Shows the panel and starts counting.
    void start();
    void ended(const PostingOutcome& outcome);
    void Timer1Timer();

    QTimer& Timer1() { return Timer1_; }
    int waitcount() const { return waitcount_; }
    int dotcount() const { return dotcount_; }

  private:
    // The wait is over without the score taken: the strip goes and the
    // player is told why.
    void giveUp(const QString& message);

    QWidget* window_;
    TFlatPanel* panel_;
    QWidget* gameOver_;
    QTimer Timer1_;
    int waitcount_ = 0;
    int dotcount_ = 0;
    bool waiting_ = false;  // a post is under way and nothing told yet
};

}  // namespace quintelle::ui
