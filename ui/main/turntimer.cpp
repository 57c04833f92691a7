#include "ui/main/turntimer.h"

namespace quintelle::ui {

TurnTimer::TurnTimer(QObject* parent) : QObject(parent) {
    turntime_.setInterval(1000);
    connect(&turntime_, &QTimer::timeout, this, &TurnTimer::ticked);
}

void TurnTimer::start() {
    turntime_.start();
    emit started();
}

void TurnTimer::stop() {
    turntime_.stop();
    emit stopped();
}

}  // namespace quintelle::ui
