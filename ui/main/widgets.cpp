#include "ui/main/widgets.h"

#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QValidator>

#include "ui/art/art.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/LbBack.h"
#include "ui/main/keptart.h"
#include "ui/main/keptpictures.h"

namespace quintelle::ui {

Picture::Picture(QWidget* parent, const char* name, QRect geometry, Source source, bool stretch)
    : QWidget(parent), source_(std::move(source)), stretch_(stretch) {
    setObjectName(QString::fromLatin1(name));
    setGeometry(geometry);
}

void Picture::setSource(Source source) {
    source_ = std::move(source);
    cache_ = QPixmap();
    cacheDpr_ = 0;
    update();
}

void Picture::setScale(qreal scale) {
    if (scale == scale_) return;
    scale_ = scale;
    update();
}

void Picture::redraw() {
    if (cacheScale_ == scale_) return;
    cache_ = QPixmap();
    update();
}

void Picture::paintEvent(QPaintEvent*) {
    if (!source_) return;
    const qreal dpr = devicePixelRatioF();
    if (cacheDpr_ != dpr || cache_.isNull()) {
        // Drawn at the scaled size in device pixels, then shown at the
        // screen's own ratio: crisp at any scale, never a stretched bitmap.
        cache_ = source_(dpr * scale_);
        cache_.setDevicePixelRatio(dpr);
        cacheDpr_ = dpr;
        cacheScale_ = scale_;
    }
    QPainter p(this);
    const bool resampled = stretch_ || cacheScale_ != scale_;
    p.setRenderHint(QPainter::SmoothPixmapTransform, resampled);
    if (stretch_)
        p.drawPixmap(rect(), cache_);
    else if (cacheScale_ != scale_)
        p.drawPixmap(QRectF(QPointF(), cache_.deviceIndependentSize() * (scale_ / cacheScale_)),
                     cache_, QRectF(cache_.rect()));
    else
        p.drawPixmap(0, 0, cache_);
}

void Picture::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void Picture::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) emit clicked(this);
}

Picture* makePicture(QWidget* parent, const char* name, QRect geometry, Picture::Source source,
                     bool stretch) {
    auto* picture = new Picture(parent, name, geometry, std::move(source), stretch);
    picture->setTransparentForMouse(true);
    return picture;
}

QPixmap cardPicture(int picture, qreal dpr) {
    static QHash<QPair<int, qreal>, QPixmap> cache;
    // Cards at the ratios of a board resized to any size are kept only
    // until the next such ratio, so resizing never piles them up.
    static qreal inBetween = 0;
    if (!isKeptRatio(dpr) && dpr != inBetween) {
        cache.removeIf([](const auto& entry) { return entry.key().second == inBetween; });
        inBetween = dpr;
    }
    const auto key = qMakePair(picture, dpr);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.insert(key, art::card(picture, dpr));
    return *it;
}

CardImage::CardImage(QWidget* parent, const char* name, QPoint topLeft)
    : Picture(parent, name, QRect(topLeft, art::cardSize)) {}

void CardImage::clearCard() {
    shown_ = -1;
    clear();
}

void CardImage::drawCard(int picture) {
    if (picture < 0 || picture >= art::cardPictureCount) return;
    shown_ = picture;
    setSource([picture](qreal dpr) { return cardPicture(picture, dpr); });
}

TLbBackground* coverWithTile(QWidget* window, const QImage& tile) {
    auto* background = new TLbBackground(window);
    background->setObjectName(QStringLiteral("LbBackground1"));
    background->setImage(tile);
    background->setEnabled(true);
    background->Loaded();
    return background;
}

QString buttonName(art::ButtonWord word) {
    switch (word) {
        case art::ButtonWord::StartGame:
            return QStringLiteral("Start Game");
        case art::ButtonWord::Done:
            return QStringLiteral("Done");
        case art::ButtonWord::Cancel:
            return QStringLiteral("Cancel");
        case art::ButtonWord::SendScore:
            return QStringLiteral("Send Score");
        case art::ButtonWord::HighScores:
            return QStringLiteral("High Scores");
        case art::ButtonWord::ResetTally:
            return QStringLiteral("Reset Tally");
        case art::ButtonWord::Yes:
            return QStringLiteral("Yes");
    }
    return {};
}

ImageButton* makePictureButton(QWidget* parent, const char* name, QPoint topLeft,
                               art::ButtonWord word) {
    auto* button = new ImageButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(QRect(topLeft, art::buttonSize(word)));
    button->setPixmapSource([word](qreal dpr) { return kept::button(word, false, dpr); });
    button->setPressedPixmapSource([word](qreal dpr) { return kept::button(word, true, dpr); });
    button->setAccessibleName(buttonName(word));
    return button;
}

QFont makeFont(const FontSpec& style) {
    QFont font(QString::fromLatin1(style.family));
    font.setPixelSize(style.pixelSize);
    font.setBold(style.bold);
    font.setUnderline(style.underline);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const QString& text,
                  const FontSpec& font, QColor colour, Qt::Alignment alignment, bool wordWrap) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setFont(makeFont(font));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setAlignment(alignment | (wordWrap ? Qt::AlignTop : Qt::AlignVCenter));
    label->setWordWrap(wordWrap);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

namespace {
constexpr int kBorder = 1;
constexpr QColor kGround{245, 235, 216};
constexpr QColor kBorderColour{120, 80, 40};

// The box already holds the edited text while it is validated, so the length
// before the edit is kept from the last change: typing may not grow the text
// past the limit, while a longer name set by the program can still be shortened.
class TypingLimit : public QValidator {
  public:
    TypingLimit(QLineEdit* edit, int limit)
        : QValidator(edit), limit_(limit), length_(edit->text().size()) {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { length_ = text.size(); });
    }
    State validate(QString& input, int&) const override {
        return input.size() <= std::max<qsizetype>(limit_, length_) ? Acceptable : Invalid;
    }

  private:
    int limit_;
    qsizetype length_;
};
}  // namespace

NameEdit::NameEdit(QWidget* parent, const char* name, QRect geometry, int limit)
    : QLineEdit(parent) {
    setObjectName(QString::fromLatin1(name));
    setGeometry(geometry);
    setValidator(new TypingLimit(this, limit));
    // The look by palette and margins rather than a style sheet, which would
    // bring a style of its own into the window: the text sits inside the
    // border and 4 pixels of padding each side.
    setFrame(false);
    setTextMargins(kBorder + 4, kBorder, kBorder + 4, kBorder);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kGround);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
}

void NameEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter p(this);
    p.setPen(kBorderColour);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace quintelle::ui
