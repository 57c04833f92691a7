#include "ui/main/postingwait.h"

#include <QMessageBox>

#include "ui/controls/TFlatPanelUnit.h"
#include "ui/main/boardview.h"

namespace quintelle::ui {

PostingWait::PostingWait(QWidget* window, TFlatPanel* panel)
    : QObject(window), window_(window), panel_(panel) {
    Timer1_.setInterval(1000);
    connect(&Timer1_, &QTimer::timeout, this, &PostingWait::Timer1Timer);
}

void PostingWait::start() {
    waitcount_ = 40;
    dotcount_ = 0;
    Timer1_.start();
    BoardView::showOnTop(panel_);
}

void PostingWait::Timer1Timer() {
    --waitcount_;
    if (++dotcount_ > 5) dotcount_ = 1;
    panel_->setCaption(QStringLiteral("Posting Score, Please Wait") +
                       QString(dotcount_, QLatin1Char('.')));
    if (waitcount_ == 0) {
        // Ticks go on while the box is open; only this one tick shows it.
        QMessageBox::information(window_, QStringLiteral("Quintelle"),
                                 QStringLiteral("Posting Failed."));
        Timer1_.stop();
    }
}

}  // namespace quintelle::ui
