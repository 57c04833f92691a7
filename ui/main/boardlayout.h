#pragma once
// The main window's board as one table: every control with its name, its
// parent, its rectangle in design pixels (96 to the inch, in the parent's
// coordinates) and what it is and shows. The board is built from the table
// by one function, and the table is what the layout's tests check.
#include <QColor>
#include <QHash>
#include <QRect>
#include <QString>
#include <vector>

#include "ui/art/art.h"
#include "ui/main/widgets.h"

namespace quintelle::ui {

struct LayoutControl {
    enum class Kind { Panel, Label, Picture, Card, Button, NameEdit };

    QString name;
    QString parent;  // kClient, or a control of an earlier row
    QRect rect;
    Kind kind;
    QString text;   // a label's design text, a panel's caption
    FontSpec font;  // of the text
    QColor colour;  // of the text
    QColor frame;   // a panel's border
    Qt::Alignment alignment = Qt::AlignLeft;
    bool wordWrap = false;
    bool seeThrough = false;  // a panel that shows what lies under it
    bool clickable = false;   // a picture or card that takes clicks, with a hand cursor
    bool hidden = false;
    Picture::Source picture;  // a picture's art
    bool stretch = false;     // a picture drawn to fill its rectangle
    art::ButtonWord word = art::ButtonWord::Done;
    int tag = 0;
    QString hint;  // a cell's address
};

// The window's area below the menu bar, the parent of the board.
inline const QString kClient = QStringLiteral("client");

// Rows in painting order: a control lies over those of earlier rows, and Tab
// goes round a panel's controls in this order.
const std::vector<LayoutControl>& boardLayout();

// Builds the rows into `client`; the controls by name.
QHash<QString, QWidget*> buildBoard(QWidget* client, const std::vector<LayoutControl>& rows);

}  // namespace quintelle::ui
