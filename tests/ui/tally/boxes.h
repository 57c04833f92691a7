#pragma once
// Answers the toolkit's real modal message boxes from a timer, so a test can
// go through the program's own error box and question box without a person.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <vector>

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

class BoxAnswerer {
  public:
    // Each box that opens while this lives is recorded and closed with the
    // next answer in `answers` (the last one repeats).
    explicit BoxAnswerer(std::vector<QMessageBox::StandardButton> answers)
        : answers_(std::move(answers)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    const std::vector<SeenBox>& seen() const { return seen_; }

  private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box == answered_) return;
        answered_ = box;
        seen_.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
        const auto answer = answers_.empty()
                                ? QMessageBox::Ok
                                : answers_[std::min(seen_.size(), answers_.size()) - 1];
        if (QAbstractButton* button = box->button(answer))
            button->click();
        else
            box->done(answer);
    }

    std::vector<QMessageBox::StandardButton> answers_;
    std::vector<SeenBox> seen_;
    QPointer<QMessageBox> answered_;  // null again once that box is gone
    QTimer timer_;
};
