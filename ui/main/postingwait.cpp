#include "ui/main/postingwait.h"

#include <QMessageBox>

#include "ui/controls/TFlatPanelUnit.h"
#include "ui/main/boardview.h"

namespace quintelle::ui {

namespace {
const QString kFailed = QStringLiteral("Posting Failed.");
}

PostingWait::PostingWait(QWidget* window, TFlatPanel* panel, QWidget* gameOver)
    : QObject(window), window_(window), panel_(panel), gameOver_(gameOver) {
    Timer1_.setInterval(1000);
    connect(&Timer1_, &QTimer::timeout, this, &PostingWait::Timer1Timer);
}

void PostingWait::start() {
    waitcount_ = 40;
    dotcount_ = 0;
    waiting_ = true;
    Timer1_.start();
    BoardView::showOnTop(panel_);
}

void PostingWait::Timer1Timer() {
    --waitcount_;
    if (++dotcount_ > 5) dotcount_ = 1;
    panel_->setCaption(QStringLiteral("Posting Score, Please Wait") +
                       QString(dotcount_, QLatin1Char('.')));
    if (waitcount_ == 0) giveUp(kFailed);
}

void PostingWait::ended(const PostingOutcome& outcome) {
    switch (outcome.kind) {
        case PostingOutcome::Accepted:
            // Also after "Posting Failed.": the score is on the list.
            waiting_ = false;
            Timer1_.stop();
            gameOver_->hide();  // the wait strip with it
            return;
        case PostingOutcome::Refused:
            giveUp(outcome.reason);
            return;
        case PostingOutcome::Failed:
            giveUp(kFailed);
            return;
    }
}

void PostingWait::giveUp(const QString& message) {
    // Only the first word on a post counts: a post sent twice ends twice.
    if (!std::exchange(waiting_, false)) return;
    Timer1_.stop();
    panel_->hide();
    QMessageBox::information(window_, QStringLiteral("Quintelle"), message);
}

}  // namespace quintelle::ui
