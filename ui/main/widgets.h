#pragma once
// Stock pieces of the program's windows: pictures drawn at the screen's pixel
// ratio, card images, and labels laid out by position, font and colour.
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <string_view>

#include "game/controls.h"
#include "ui/art/art.h"

class ImageButton;
class TLbBackground;

namespace quintelle::ui {

// Texts cross into the game core and the stored files as bytes in the
// system's 8-bit encoding.
inline QString fromLocalBytes(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The object name of the widget that stands for a control of the game.
inline QString nameOf(Control control) {
    return QString::fromLatin1(control.name().data(), qsizetype(control.name().size()));
}

// Covers a window with the shared tile (its "LbBackground1").
TLbBackground* coverWithTile(QWidget* window, const QImage& tile);

// The words of a picture button, as a screen reader says them.
QString buttonName(art::ButtonWord word);

// One of the program's picture buttons (START GAME, DONE, ...) at its size.
ImageButton* makePictureButton(QWidget* parent, const char* name, QPoint topLeft,
                               art::ButtonWord word);

// A picture control. Its pixmap is drawn on demand for the device pixel ratio
// it is shown at, times the board's scale. Stretched pictures fill the
// control; the others keep their size, so narrowing the control shows the
// picture's left part.
class Picture : public QWidget {
    Q_OBJECT
  public:
    using Source = std::function<QPixmap(qreal dpr)>;

    Picture(QWidget* parent, const char* name, QRect geometry, Source source = {},
            bool stretch = false);

    void setSource(Source source);
    void clear() { setSource({}); }
    bool isEmpty() const { return !source_; }
    void setTransparentForMouse(bool on) { setAttribute(Qt::WA_TransparentForMouseEvents, on); }
    // Shown at `scale` times its design size: until redraw() the picture
    // drawn for the former scale is stretched, which keeps a resize smooth.
    void setScale(qreal scale);
    // Draws the picture afresh for the present scale, if it was drawn for another.
    void redraw();

  signals:
    void clicked(QObject* sender);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Source source_;
    bool stretch_;
    bool pressed_ = false;
    qreal scale_ = 1;
    QPixmap cache_;
    qreal cacheDpr_ = 0;
    qreal cacheScale_ = 1;
};

// A picture that lets clicks through to what lies under it.
Picture* makePicture(QWidget* parent, const char* name, QRect geometry, Picture::Source source,
                     bool stretch = false);

// The card image list: picture 0 is the back, 1..52 the faces by card code.
// Pictures are drawn once per pixel ratio and shared.
QPixmap cardPicture(int picture, qreal dpr);

// A cell or the card on offer: shows one picture of the card image list, or
// nothing (the board's card place shows through).
class CardImage : public Picture {
    Q_OBJECT
  public:
    CardImage(QWidget* parent, const char* name, QPoint topLeft);
    void clearCard();
    void drawCard(int picture);
    int shownCard() const { return shown_; }  // -1 when empty

  private:
    int shown_ = -1;
};

struct FontSpec {
    const char* family = "MS Sans Serif";
    int pixelSize = 11;
    bool bold = false;
    bool underline = false;
};
QFont makeFont(const FontSpec& style);

QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const QString& text,
                  const FontSpec& font, QColor colour, Qt::Alignment alignment = Qt::AlignLeft,
                  bool wordWrap = false);

// A name box: cream, black text, a thin brown border. Typing stops at
// `limit` characters, but a longer name set by the program (read from the
// settings) is shown and kept whole.
class NameEdit : public QLineEdit {
  public:
    NameEdit(QWidget* parent, const char* name, QRect geometry, int limit);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quintelle::ui
