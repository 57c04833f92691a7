#include "ui/main/boardscale.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "ui/controls/ImageButton.h"
#include "ui/controls/TFlatPanelUnit.h"
#include "ui/main/boardlayout.h"
#include "ui/main/widgets.h"

namespace quintelle::ui {

namespace {

// The frame starts this far inside the work area's corner, and keeps as much
// from its far edges.
constexpr int kInset = 3;

// The room a work area has for the board itself.
QSize roomForBoard(const QRect& workArea, const WindowAllowance& allowance) {
    const QMargins& f = allowance.frame;
    return workArea.size() - QSize(f.left() + f.right() + 2 * kInset,
                                   f.top() + f.bottom() + allowance.menuBar + 2 * kInset);
}

}  // namespace

int scaledLength(int design, double scale) {
    return int(std::lround(design * scale));
}

QRect scaledRect(const QRect& design, double scale) {
    // The corner rounded down and the size to nearest never reach past the
    // parent's own scaled edge.
    return QRect(int(std::floor(design.left() * scale + 1e-9)),
                 int(std::floor(design.top() * scale + 1e-9)), scaledLength(design.width(), scale),
                 scaledLength(design.height(), scale));
}

double fittingScale(QSize client) {
    return std::min(double(client.width()) / kDesignClient.width(),
                    double(client.height()) / kDesignClient.height());
}

QSize clientFor(double scale) {
    return QSize(int(std::ceil(kDesignClient.width() * scale - 1e-9)),
                 int(std::ceil(kDesignClient.height() * scale - 1e-9)));
}

double leastScale(const QRect& workArea, const WindowAllowance& allowance) {
    // Two hundredths below what fits, so rounding never puts the frame a
    // pixel outside.
    const double fits = std::floor(fittingScale(roomForBoard(workArea, allowance)) * 100) / 100;
    return std::clamp(fits, 0.3, kLegibleScale);
}

double startingScale(const QRect& workArea, const WindowAllowance& allowance) {
    const double fits = fittingScale(roomForBoard(workArea, allowance));
    if (fits < 1) return std::max(std::floor(fits * 100) / 100, leastScale(workArea, allowance));
    return std::floor(fits * 2) / 2;
}

namespace {

// A resize is taken as settled once the window has kept its size this long.
constexpr int kSettleMilliseconds = 150;

// Text is set a whole pixel size no larger than its scaled size, so it stays
// inside boxes scaled from the design's.
QFont scaledFont(const FontSpec& design, double scale) {
    FontSpec font = design;
    font.pixelSize = std::max(1, int(std::floor(design.pixelSize * scale + 1e-6)));
    return makeFont(font);
}

}  // namespace

BoardScaler::BoardScaler(QWidget* client, const std::vector<LayoutControl>& rows,
                         const QHash<QString, QWidget*>& controls)
    : QObject(client), client_(client), rows_(rows), controls_(controls) {
    settle_.setObjectName(QStringLiteral("settle"));
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, &BoardScaler::sharpen);
    client->installEventFilter(this);
}

void BoardScaler::setDesignWidth(QWidget* control, int width) {
    designWidths_.insert(control, std::max(0, width));
    control->resize(scaledLength(designWidths_.value(control), scale_), control->height());
}

// A window not yet shown has no settled size: the board keeps its design
// size until it is shown.
bool BoardScaler::eventFilter(QObject* watched, QEvent* event) {
    if (watched != client_) return false;
    if (event->type() == QEvent::Show)
        fit(true);
    else if (event->type() == QEvent::Resize && client_->isVisible())
        fit(false);
    return false;
}

void BoardScaler::fit(bool showing) {
    // Without a window manager a window may be squeezed below its least
    // size for a moment; the board stays legible meanwhile.
    const double scale = std::max(fittingScale(client_->size()), 0.3);
    const QSize board = scaledRect(QRect(QPoint(), kDesignClient), scale).size();
    const QPoint origin((client_->width() - board.width()) / 2,
                        (client_->height() - board.height()) / 2);
    if (scale == scale_ && origin == origin_) return;
    const bool rescaled = scale != scale_;
    scale_ = scale;
    origin_ = origin;
    for (const LayoutControl& row : rows_)
        if (QWidget* w = controls_.value(row.name)) place(row, w);
    // Pictures not shown yet are drawn at their size at once.
    if (rescaled && showing)
        sharpen();
    else if (rescaled)
        settle_.start();
}

void BoardScaler::place(const LayoutControl& row, QWidget* w) const {
    QRect rect = scaledRect(row.rect, scale_);
    if (row.parent == kClient) rect.translate(origin_);
    if (auto width = designWidths_.constFind(w); width != designWidths_.cend())
        rect.setWidth(scaledLength(*width, scale_));
    w->setGeometry(rect);
    if (auto* picture = qobject_cast<Picture*>(w)) picture->setScale(scale_);
    if (qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) ||
        (qobject_cast<TFlatPanel*>(w) && !row.text.isEmpty()))
        w->setFont(scaledFont(row.font, scale_));
}

void BoardScaler::sharpen() {
    for (QWidget* w : controls_) {
        if (auto* picture = qobject_cast<Picture*>(w)) picture->redraw();
        if (auto* button = qobject_cast<ImageButton*>(w)) button->setPictureScale(scale_);
    }
}

}  // namespace quintelle::ui
