#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A container with a one-pixel two-colour frame that either fills itself with a
// colour or lets its parent's picture show through, with an optional caption.
class TFlatPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor ColorHighLight READ colorHighLight WRITE setColorHighLight)
    Q_PROPERTY(QColor ColorShadow READ colorShadow WRITE setColorShadow)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(Qt::Alignment Alignment READ alignment WRITE setAlignment)

  public:
    static constexpr QColor kDefaultFrame{160, 150, 131};

    explicit TFlatPanel(QWidget* parent = nullptr);

    QColor colorHighLight() const { return colorHighLight_; }
    void setColorHighLight(const QColor& color);

    QColor colorShadow() const { return colorShadow_; }
    void setColorShadow(const QColor& color);

    bool transparent() const { return transparent_; }
    void setTransparent(bool transparent);

    // The fill colour and the caption colour live in the palette (Window and
    // WindowText), so until they are set they follow the parent's.
    QColor color() const;
    void setColor(const QColor& color);

    QColor fontColor() const;
    void setFontColor(const QColor& color);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);

    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QColor colorHighLight_ = kDefaultFrame;
    QColor colorShadow_ = kDefaultFrame;
    bool transparent_ = false;
    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
};
