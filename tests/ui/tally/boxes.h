#pragma once
// Answers the toolkit's real modal message boxes from a timer, so a test can
// go through the program's own error box and question box without a person:
// by clicking a button, or by pressing a key as a person at the keyboard
// would, on whichever control of the box has the focus.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <variant>
#include <vector>

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

class BoxAnswerer {
  public:
    // Each box that opens while this lives is recorded and closed with the
    // next answer in `answers` (the last one repeats).
    using Answer = std::variant<QMessageBox::StandardButton, Qt::Key>;
    explicit BoxAnswerer(std::vector<Answer> answers)
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
        seen_.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                         box->standardButton(box->defaultButton())});
        const Answer answer = answers_.empty()
                                  ? Answer(QMessageBox::Ok)
                                  : answers_[std::min(seen_.size(), answers_.size()) - 1];
        if (const auto* key = std::get_if<Qt::Key>(&answer)) {
            QWidget* focused = QApplication::focusWidget();
            QTest::keyClick(focused && box->isAncestorOf(focused) ? focused : box, *key);
        } else if (QAbstractButton* button =
                       box->button(std::get<QMessageBox::StandardButton>(answer))) {
            button->click();
        } else {
            box->done(std::get<QMessageBox::StandardButton>(answer));
        }
    }

    std::vector<Answer> answers_;
    std::vector<SeenBox> seen_;
    QPointer<QMessageBox> answered_;  // null again once that box is gone
    QTimer timer_;
};
