#include "ui/main/boardview.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/controls/TFlatPanelUnit.h"
#include "ui/controls/tag.h"
#include "ui/main/boardlayout.h"
#include "ui/main/boardscale.h"
#include "ui/main/widgets.h"

namespace quintelle::ui {

BoardView::BoardView(QWidget* client)
    : QObject(client),
      controls_(buildBoard(client, boardLayout())),
      scaler_(new BoardScaler(client, boardLayout(), controls_)) {}

double BoardView::scale() const {
    return scaler_->scale();
}

QWidget* BoardView::control(const QString& name) const {
    return controls_.value(name, nullptr);
}

QWidget* BoardView::control(Control name) const {
    QWidget* w = control(nameOf(name));
    Q_ASSERT_X(w, "BoardView", "no control of this name on the board");
    return w;
}

void BoardView::showOnTop(QWidget* w) {
    if (!w) return;
    w->show();
    w->raise();
}

void BoardView::setText(Control name, std::string_view text) {
    QWidget* w = control(name);
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(fromLocalBytes(text));
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(fromLocalBytes(text));
    else if (auto* panel = qobject_cast<TFlatPanel*>(w))
        panel->setCaption(fromLocalBytes(text));
    if (w) emit textChanged(w->objectName());
}

std::string BoardView::text(Control name) const {
    QWidget* w = control(name);
    QString t;
    if (auto* label = qobject_cast<QLabel*>(w))
        t = label->text();
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        t = edit->text();
    return t.toLocal8Bit().toStdString();
}

void BoardView::show(Control name) {
    showOnTop(control(name));
}

void BoardView::hide(Control name) {
    if (QWidget* w = control(name)) w->hide();
}

void BoardView::clearPicture(Control name) {
    if (auto* image = qobject_cast<CardImage*>(control(name))) image->clearCard();
    emit boardChanged();
}

void BoardView::drawCard(Control name, int picture) {
    if (auto* image = qobject_cast<CardImage*>(control(name))) image->drawCard(picture);
    emit boardChanged();
}

void BoardView::setTag(Control name, int tag) {
    QWidget* w = control(name);
    ::setTag(w, tag);
    if (w) emit tagChanged(w->objectName());
}

int BoardView::tag(Control name) const {
    return tagOf(control(name));
}

void BoardView::setWidth(Control name, int width) {
    if (QWidget* w = control(name)) scaler_->setDesignWidth(w, width);
}

}  // namespace quintelle::ui
