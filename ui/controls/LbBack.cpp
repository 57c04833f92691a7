#include "ui/controls/LbBack.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace {

// Lives as a child of its window and filters the window's paint events. Qt sends
// the paint event through event filters before QWidget::paintEvent, with the
// widget's background already erased, and paints child widgets afterwards, so a
// painter opened here lands between the window colour and everything else.
class PaintHook : public QObject {
    Q_OBJECT

  public:
    explicit PaintHook(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

    static PaintHook* find(QWidget* window) {
        return window->findChild<PaintHook*>(QString(), Qt::FindDirectChildrenOnly);
    }

    static PaintHook* ensure(QWidget* window) {
        PaintHook* hook = find(window);
        return hook ? hook : new PaintHook(window);
    }

    PaintHandler handler;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Paint && handler) {
            // Copy first: the handler may replace itself while it runs.
            const PaintHandler run = handler;
            QPainter painter(window_);
            // What this paint covers, as the painter's clip: painting
            // outside it is cut away anyway, and handlers can skip it.
            painter.setClipRect(static_cast<QPaintEvent*>(event)->rect());
            run(window_, painter);
        }
        return false;
    }

  private:
    QWidget* window_;
};

}  // namespace

PaintHandler paintHandler(QWidget* window) {
    if (!window) return {};
    const PaintHook* hook = PaintHook::find(window);
    return hook ? hook->handler : PaintHandler{};
}

void setPaintHandler(QWidget* window, PaintHandler handler) {
    if (!window) return;
    PaintHook::ensure(window)->handler = std::move(handler);
    window->update();
}

TLbBackground::TLbBackground(QWidget* owner) : QObject(owner), owner_(owner) {
    Q_ASSERT(owner);
}

TLbBackground::~TLbBackground() {
    // While the owner is being torn down its hook may already be gone; then there
    // is nothing left to hand back.
    if (loaded_ && hook_) static_cast<PaintHook*>(hook_.data())->handler = previous_;
}

void TLbBackground::setImage(const QImage& tile) {
    image_ = tile;
    owner_->update();
}

void TLbBackground::setEnabled(bool enabled) {
    enabled_ = enabled;
    owner_->update();
}

void TLbBackground::Loaded() {
    if (loaded_) return;
    PaintHook* hook = PaintHook::ensure(owner_);
    previous_ = hook->handler;
    // A component that later chains over this one may outlive it; a guarded
    // pointer keeps that chain from running into a destroyed background.
    hook->handler = [self = QPointer<const TLbBackground>(this)](QWidget* sender,
                                                                 QPainter& painter) {
        if (self) self->paintTiles(sender, painter);
    };
    hook_ = hook;
    loaded_ = true;
    owner_->update();
}

void TLbBackground::paintTiles(QWidget* sender, QPainter& painter) const {
    if (enabled_ && !image_.isNull()) {
        const QSize tile = image_.deviceIndependentSize().toSize();
        if (!tile.isEmpty()) {
            // The outer size (frame included) overshoots the client area, so the
            // last column and row are always cut by the window's own clip.
            const QSize outer = owner_->frameGeometry().size();
            const int columns = outer.width() / tile.width() + 2;
            const int rows = outer.height() / tile.height() + 2;
            // Only the tiles the paint reaches: a clock tick repaints a
            // sliver of the window, not all of it.
            QRect reach(0, 0, columns * tile.width(), rows * tile.height());
            if (painter.hasClipping()) reach &= painter.clipBoundingRect().toAlignedRect();
            if (!reach.isEmpty())
                for (int c = reach.left() / tile.width(); c <= reach.right() / tile.width(); ++c)
                    for (int r = reach.top() / tile.height(); r <= reach.bottom() / tile.height();
                         ++r)
                        painter.drawImage(QPoint(c * tile.width(), r * tile.height()), image_);
        }
    }
    if (previous_) previous_(sender, painter);
}

#include "LbBack.moc"
