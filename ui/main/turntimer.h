#pragma once
// `turntime`, the round clock: a one-second timer the game starts at every
// round start and stops at the round's end.
#include <QObject>
#include <QTimer>

#include "game/ports.h"

namespace quintelle::ui {

class TurnTimer : public QObject, public RoundClock {
    Q_OBJECT
  public:
    explicit TurnTimer(QObject* parent);

    QTimer& turntime() { return turntime_; }
    void start() override;
    void stop() override;

  signals:
    void ticked();
    // The round began or ended dealing.
    void started();
    void stopped();

  private:
    QTimer turntime_;
};

}  // namespace quintelle::ui
