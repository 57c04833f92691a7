#include "ui/main/coach.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <utility>

#include "game/controller.h"
#include "ui/main/boardkeys.h"
#include "ui/main/boardview.h"
#include "ui/main/celloverlay.h"
#include "ui/main/widgets.h"

namespace quintelle::ui {

namespace {

// A soft gold ring drawn over a card: strong at the card's edge and fading
// outwards, so it reads as a glow on the felt and on neighbouring cards.
class HintGlow : public CellOverlay {
  public:
    static constexpr int kSpread = 6;

    explicit HintGlow(QWidget* parent) : CellOverlay(parent, kSpread) {
        setObjectName(QStringLiteral("image_hint"));
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

    void ring(QWidget* cell) {
        setAccessibleName(QStringLiteral("Hint: ") + cell->accessibleName());
        around(cell);
        show();
        raise();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        for (int i = kSpread; i >= 1; --i) {
            const int alpha = 255 - 200 * (i - 1) / kSpread;
            p.setPen(QPen(QColor(255, 196, 32, alpha), 2.0));
            const qreal inset = kSpread - i + 1.0;
            p.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 6, 6);
        }
        p.setPen(QPen(QColor(255, 236, 140), 1.5));
        p.drawRoundedRect(QRectF(rect()).adjusted(kSpread, kSpread, -kSpread, -kSpread), 4, 4);
    }
};

}  // namespace

Coach::Coach(QMenu* options, BoardView& board, const GameController& game, BoardKeys& keys)
    : QObject(options), board_(board), game_(game), keys_(keys) {
    options->addSeparator()->setObjectName(QStringLiteral("N3"));
    Hint1 = options->addAction(QStringLiteral("Hint"));
    Hint1->setObjectName(QStringLiteral("Hint1"));
    Hint1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    Hint1->setShortcutContext(Qt::ApplicationShortcut);
    connect(Hint1, &QAction::triggered, this, &Coach::Hint1Click);
    glow_ = new HintGlow(board.control(controls::cell(1, 1))->parentWidget());
    // Every placement and every new round redraws the board; a hint is only
    // good for the position it was asked about.
    connect(&board, &BoardView::boardChanged, this, &Coach::clearMark);
}

Coach::~Coach() {
    if (worker_.joinable()) worker_.join();
}

QWidget* Coach::mark() const {
    return glow_ && glow_->isVisible() ? glow_ : nullptr;
}

std::optional<Position> Coach::dealingPosition() const {
    if (!game_.dealing() || game_.topcard() == 0) return std::nullopt;
    return game_.position();
}

void Coach::Hint1Click() {
    const std::optional<Position> asked = dealingPosition();
    if (!asked) return;
    if (busy_.exchange(true)) {  // an answer is on its way; it may be for a position left since
        askedAgain_ = true;
        return;
    }
    if (worker_.joinable()) worker_.join();
    const Budget budget{0, kBudgetMilliseconds,
                        asked->dealt ^ static_cast<std::uint64_t>(asked->offer)};
    worker_ = std::thread([this, position = *asked, budget] {
        const std::optional<int> cell = coachmove(position, budget);
        QMetaObject::invokeMethod(
            this, [this, position, cell] { answered(position, cell); }, Qt::QueuedConnection);
    });
}

void Coach::answered(Position asked, std::optional<int> cell) {
    busy_ = false;
    const std::optional<Position> now = dealingPosition();
    const bool same = now == asked;
    const bool again = std::exchange(askedAgain_, false);
    if (!same) {  // the player has moved on; answer a later request afresh
        if (again) Hint1Click();
        return;
    }
    if (!cell || !glow_) return;
    const int address = Position::address(*cell);
    static_cast<HintGlow*>(glow_)->ring(board_.control(controls::cell(address / 10, address % 10)));
    // A keyboard player lands on the hinted cell, one key away from playing it.
    keys_.moveTo(address);
}

void Coach::clearMark() {
    glow_->hide();
}

}  // namespace quintelle::ui
