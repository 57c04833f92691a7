#pragma once
// The game's view: the board built from its layout table, which the game
// controller writes through GameView by the names of game/controls.h. The
// board scales with the window's area it is built in.
#include <QHash>
#include <QObject>
#include <QString>

#include "game/ports.h"

class QWidget;

namespace quintelle::ui {

class BoardScaler;

class BoardView : public QObject, public GameView {
    Q_OBJECT
  public:
    // Builds the board into the window's area below the menu bar.
    explicit BoardView(QWidget* client);

    // A control of the board by its name; null for a name it does not have.
    QWidget* control(const QString& name) const;
    // A control the game names: every one of them is on the board, which the
    // layout's tests check, and builds with assertions check here.
    QWidget* control(Control control) const;
    // Shows a panel or picture and brings it to the front.
    static void showOnTop(QWidget* w);
    // The scale the board is shown at: 1 is its design size.
    double scale() const;

    void setText(Control control, std::string_view text) override;
    std::string text(Control control) const override;
    void show(Control control) override;
    void hide(Control control) override;
    void clearPicture(Control control) override;
    void drawCard(Control control, int picture) override;
    void setTag(Control control, int tag) override;
    int tag(Control control) const override;
    void setWidth(Control control, int width) override;

  signals:
    // A card was drawn into or cleared from a cell or the card on offer.
    void boardChanged();
    // The game wrote a control's text or tag.
    void textChanged(const QString& control);
    void tagChanged(const QString& control);

  private:
    QHash<QString, QWidget*> controls_;
    BoardScaler* scaler_;
};

}  // namespace quintelle::ui
