#include "ui/main/boardkeys.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "game/controller.h"
#include "ui/controls/ButtonComps.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/TFlatPanelUnit.h"
#include "ui/controls/focusring.h"
#include "ui/main/boardaccessible.h"
#include "ui/main/boardview.h"
#include "ui/main/widgets.h"

namespace quintelle::ui {

namespace {

// The gaps between the cells are 4 pixels, so a frame reaching 2 pixels out
// of its cell never touches the next one.
constexpr int kOutside = 2;

bool isButton(const QWidget* w) {
    return qobject_cast<const ImageButton*>(w) || qobject_cast<const TSelButton*>(w);
}

}  // namespace

CursorFrame::CursorFrame(QWidget* board) : CellOverlay(board, kOutside) {
    setObjectName(QStringLiteral("cursor_frame"));
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void CursorFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRing(p, rect(), 3);
}

BoardKeys::BoardKeys(QWidget& window, BoardView& board, const GameController& game)
    : QObject(&window),
      window_(window),
      view_(board),
      game_(game),
      board_(board.control(QStringLiteral("panel_board1"))) {
    board_->setFocusPolicy(Qt::StrongFocus);
    board_->installEventFilter(this);
    frame_ = new CursorFrame(board_);
    // The cell under the cursor takes the focus itself, so a screen reader
    // follows the cursor as the focus. Only the cursor gives it: a click
    // leaves the focus where it was, as it always has.
    for (int address : cellAddresses()) cellWidget(address)->installEventFilter(this);

    panels_ = {
        {view_.control(QStringLiteral("panel_name")),
         {QStringLiteral("edit_aname"), QStringLiteral("button_namedone"),
          QStringLiteral("button_namecancel")},
         QStringLiteral("button_namedone"),
         QStringLiteral("button_namecancel")},
        {view_.control(QStringLiteral("panel_cleared")),
         {QStringLiteral("edit_name"), QStringLiteral("button_sendscore"),
          QStringLiteral("button_highscores"), QStringLiteral("button_cancel")},
         {},
         QStringLiteral("button_cancel")},
        {view_.control(QStringLiteral("panel_continue")),
         {QStringLiteral("button_continue")},
         QStringLiteral("button_continue"),
         {}},
        {view_.control(QStringLiteral("panel_update")),
         {QStringLiteral("button_updateyes"), QStringLiteral("button_updatecancel")},
         {},
         QStringLiteral("button_updatecancel"),
         false},
    };
    // Any other pop-up panel goes round its own controls in the order they
    // were made.
    for (auto* panel : board_->findChildren<TFlatPanel*>(Qt::FindDirectChildrenOnly)) {
        if (std::any_of(panels_.begin(), panels_.end(),
                        [panel](const Panel& p) { return p.panel == panel; }))
            continue;
        Panel extra{panel, {}, {}, {}};
        for (auto* w : panel->findChildren<QWidget*>())
            if (w->focusPolicy() & Qt::TabFocus) extra.order << w->objectName();
        panels_.push_back(extra);
    }

    for (const Panel& p : panels_) {
        if (!p.panel) continue;
        p.panel->installEventFilter(this);
        for (const QString& name : p.order)
            if (QWidget* w = view_.control(name)) w->installEventFilter(this);
    }
    // The panel is stacked above the highlight, so it covers it.
    if (!panels_.empty() && panels_.front().panel) frame_->stackUnder(panels_.front().panel);
}

QWidget* BoardKeys::cellWidget(int address) const {
    return view_.control(QStringLiteral("image_card%1").arg(address));
}

void BoardKeys::moveTo(int address) {
    const int row = address / 10, column = address % 10;
    if (row < 1 || row > 5 || column < 1 || column > 5) return;
    const bool focused = boardFocused();
    cell_ = address;
    QWidget* cell = cellWidget(address);
    frame_->around(cell);
    if (!game_.dealing()) return;
    // The board hands its focus on to the cell under the cursor.
    board_->setFocusProxy(cell);
    if (focused) cell->setFocus(Qt::OtherFocusReason);
}

bool BoardKeys::boardFocused() const {
    QWidget* focus = window_.focusWidget();
    return focus == board_ || cellAddress(focus);
}

std::vector<int> BoardKeys::cellAddresses() {
    std::vector<int> all;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) all.push_back(r * 10 + c);
    return all;
}

void BoardKeys::showCursor() {
    frame_->setVisible(game_.dealing());
}

void BoardKeys::roundStarted() {
    moveTo(11);
    showCursor();
}

void BoardKeys::roundEnded() {
    frame_->hide();
    const bool focused = boardFocused();
    board_->setFocusProxy(nullptr);
    if (focused) board_->setFocus(Qt::OtherFocusReason);
}

bool BoardKeys::anyPanelUp() const {
    return std::any_of(panels_.begin(), panels_.end(), [](const Panel& p) {
        return p.takesFocus && p.panel && p.panel->isVisible();
    });
}

void BoardKeys::press(const QString& name) {
    QWidget* w = view_.control(name);
    if (auto* image = qobject_cast<ImageButton*>(w))
        image->click();
    else if (auto* sel = qobject_cast<TSelButton*>(w))
        sel->click();
}

std::vector<QWidget*> BoardKeys::focusable(const Panel& panel) const {
    std::vector<QWidget*> list;
    for (const QString& name : panel.order)
        if (QWidget* w = view_.control(name); w && w->isVisible() && w->isEnabled())
            list.push_back(w);
    return list;
}

bool BoardKeys::boardKey(QKeyEvent* key) {
    const auto k = key->key();
    const bool enter = k == Qt::Key_Return || k == Qt::Key_Enter;
    if (k == Qt::Key_Escape) {
        for (const Panel& p : panels_)
            if (!p.takesFocus && p.panel && p.panel->isVisible()) {
                if (QWidget* cancel = view_.control(p.cancel);
                    cancel && cancel->isVisible() && !key->isAutoRepeat())
                    press(p.cancel);
                return true;
            }
        return false;
    }
    if (!game_.dealing()) {
        if (enter && !anyPanelUp()) {
            press(QStringLiteral("button_start"));
            return true;
        }
        return false;
    }
    const int row = cell_ / 10, column = cell_ % 10;
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    switch (k) {
        case Qt::Key_Left:
            moveTo(row * 10 + std::max(1, column - 1));
            return true;
        case Qt::Key_Right:
            moveTo(row * 10 + std::min(5, column + 1));
            return true;
        case Qt::Key_Up:
            moveTo(std::max(1, row - 1) * 10 + column);
            return true;
        case Qt::Key_Down:
            moveTo(std::min(5, row + 1) * 10 + column);
            return true;
        case Qt::Key_Home:
            moveTo(ctrl ? 11 : row * 10 + 1);
            return true;
        case Qt::Key_End:
            moveTo(ctrl ? 55 : row * 10 + 5);
            return true;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Through the cell's own click, as the mouse does.
            if (auto* cell = qobject_cast<Picture*>(cellWidget(cell_));
                cell && !key->isAutoRepeat())
                emit cell->clicked(cell);
            return true;
        default:
            return false;
    }
}

bool BoardKeys::panelKey(const Panel& panel, QWidget* focus, QKeyEvent* key) {
    const auto k = key->key();
    if (k == Qt::Key_Tab || k == Qt::Key_Backtab) {
        const auto list = focusable(panel);
        if (list.empty()) return false;
        const bool back = k == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
        const auto at = std::find(list.begin(), list.end(), focus);
        const qsizetype n = static_cast<qsizetype>(list.size());
        qsizetype i = at == list.end() ? -1 : at - list.begin();
        i = back ? (i <= 0 ? n - 1 : i - 1) : (i + 1) % n;
        list[static_cast<size_t>(i)]->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        return true;
    }
    if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        if (isButton(focus) || panel.accept.isEmpty()) return false;  // the button presses itself
        if (!key->isAutoRepeat()) press(panel.accept);
        return true;
    }
    if (k == Qt::Key_Escape && !panel.cancel.isEmpty()) {
        if (!key->isAutoRepeat()) press(panel.cancel);
        return true;
    }
    return false;
}

bool BoardKeys::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        QWidget* focus = window_.focusWidget();
        if (watched == board_ || cellAddress(watched))
            return focus == watched && boardKey(key);
        if (watched != focus) return false;  // passed up from a child; handled there
        for (const Panel& p : panels_)
            if (p.panel && p.panel->isAncestorOf(focus)) return panelKey(p, focus, key);
        return false;
    }
    if (type == QEvent::FocusIn) {
        if (const int address = cellAddress(watched); address && address != cell_) moveTo(address);
        return false;
    }
    if (type != QEvent::Show && type != QEvent::Hide) return false;
    for (const Panel& p : panels_) {
        if (p.panel != watched) continue;
        if (type == QEvent::Show) {
            if (!p.takesFocus) continue;
            const auto list = focusable(p);
            if (!list.empty()) list.front()->setFocus(Qt::OtherFocusReason);
        } else {
            QWidget* focus = window_.focusWidget();
            if (!focus || p.panel->isAncestorOf(focus)) board_->setFocus(Qt::OtherFocusReason);
        }
    }
    return false;
}

}  // namespace quintelle::ui
