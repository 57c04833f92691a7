#include "ui/main/hintcontroller.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <utility>

#include "game/controller.h"
#include "ui/main/mainform.h"

using namespace quintelle;

namespace {

// A soft gold ring drawn over a card: strong at the card's edge and fading
// outwards, so it reads as a glow on the felt and on neighbouring cards.
class HintGlow : public QWidget {
  public:
    static constexpr int kSpread = 6;

    explicit HintGlow(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("image_hint"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

    void ring(const QWidget* cell) {
        setGeometry(cell->geometry().adjusted(-kSpread, -kSpread, kSpread, kSpread));
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

HintController::HintController(Tmain& window) : QObject(&window), window_(window) {
    if (auto* options = window.findChild<QMenu*>(QStringLiteral("Options1"))) {
        options->addSeparator()->setObjectName(QStringLiteral("N3"));
        Hint1 = options->addAction(QStringLiteral("Hint"));
        Hint1->setObjectName(QStringLiteral("Hint1"));
        Hint1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
        Hint1->setShortcutContext(Qt::ApplicationShortcut);
        connect(Hint1, &QAction::triggered, this, &HintController::Hint1Click);
    }
    if (QWidget* cell = window.control(QStringLiteral("image_card11")))
        glow_ = new HintGlow(cell->parentWidget());
    // Every placement and every new round redraws the board; a hint is only
    // good for the position it was asked about.
    connect(&window, &Tmain::boardChanged, this, &HintController::clearMark);
}

HintController::~HintController() {
    if (worker_.joinable()) worker_.join();
}

QWidget* HintController::mark() const {
    return glow_ && glow_->isVisible() ? glow_ : nullptr;
}

std::optional<Position> HintController::dealingPosition() const {
    const GameController& game = window_.game();
    if (!game.dealing() || game.topcard() == 0) return std::nullopt;
    return game.position();
}

void HintController::Hint1Click() {
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

void HintController::answered(Position asked, std::optional<int> cell) {
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
    if (QWidget* target = window_.control(QStringLiteral("image_card%1").arg(address)))
        static_cast<HintGlow*>(glow_)->ring(target);
    // A keyboard player lands on the hinted cell, one key away from playing it.
    window_.moveCursorTo(address);
}

void HintController::clearMark() {
    if (glow_) glow_->hide();
}
