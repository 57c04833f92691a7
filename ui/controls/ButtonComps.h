#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "ui/controls/focusring.h"

// A flat text button without a background of its own: a face, a caption and a
// frame of nested rings, with separate colours at rest, under the pointer and
// while the left button is held on it. It takes the focus by tabbing, shows it
// with a ring, and clicks on Space, Enter and Return.
class TSelButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor ColorBorder READ colorBorder WRITE setColorBorder)
    Q_PROPERTY(bool Enabled READ buttonEnabled WRITE setButtonEnabled)
    Q_PROPERTY(QColor ColorOverCaption READ colorOverCaption WRITE setColorOverCaption)
    Q_PROPERTY(QColor ColorOver READ colorOver WRITE setColorOver)
    Q_PROPERTY(QColor ColorDown READ colorDown WRITE setColorDown)
    Q_PROPERTY(Qt::Alignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)

  public:
    enum class Look { Rest, Hover, Pressed };

    explicit TSelButton(QWidget* parent = nullptr);

    // Follows the object name until a caption is set explicitly.
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);

    QColor color() const { return color_; }
    void setColor(const QColor& color);

    QColor colorBorder() const { return colorBorder_; }
    void setColorBorder(const QColor& color);

    // The button's own reaction switch; QWidget's enabled state is left alone.
    bool buttonEnabled() const { return buttonEnabled_; }
    void setButtonEnabled(bool enabled) { buttonEnabled_ = enabled; }

    QColor colorOverCaption() const { return colorOverCaption_; }
    void setColorOverCaption(const QColor& color) { colorOverCaption_ = color; }

    QColor colorOver() const { return colorOver_; }
    void setColorOver(const QColor& color) { colorOver_ = color; }

    QColor colorDown() const { return colorDown_; }
    void setColorDown(const QColor& color) { colorDown_ = color; }

    // Left, right or centre (Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter).
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);

    // The caption colour at rest.
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& color);

    Look look() const { return look_; }

    // A click as the mouse makes it: drawn at rest while the handlers run.
    void click();

  signals:
    void mouseDown(TSelButton* sender);
    void mouseUp(TSelButton* sender);
    void clicked(TSelButton* sender);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void setLook(Look look);
    void redrawAtRest();

    QString caption_;
    bool captionSet_ = false;
    QColor color_;
    QColor colorBorder_{128, 128, 128};
    bool buttonEnabled_ = true;
    QColor colorOverCaption_{Qt::black};
    QColor colorOver_{132, 185, 164};
    QColor colorDown_{132, 185, 164};
    Qt::Alignment alignment_ = Qt::AlignLeft;
    int borderWidth_ = 1;
    QColor fontColor_{128, 128, 128};

    Look look_ = Look::Rest;
    QColor captionColor_;  // caption colour of the look on show; a press keeps it
    FocusRing focusRing_;
};
