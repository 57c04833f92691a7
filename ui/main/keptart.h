#pragma once
// The program's drawn art as it is shown: each picture under the one name it
// is kept by (see keptpictures.h), so no two drawings can share a name and
// every window showing the same picture shows the same kept pixels.
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>

#include "ui/art/art.h"

namespace quintelle::ui::kept {

QPixmap board(qreal dpr);
QPixmap logo(qreal dpr);
QPixmap emblem(qreal dpr);
QPixmap title(qreal dpr);
QPixmap scoringTable(qreal dpr);
QPixmap clockFrame(qreal dpr);
QPixmap clockBar(qreal dpr);
QPixmap offerFrame(qreal dpr);
QPixmap replacementWord(qreal dpr);
QPixmap panelBackground(QSize size, qreal dpr);
QPixmap button(art::ButtonWord word, bool pressed, qreal dpr);
// Kept too: reading the bitmap file would load every image plugin Qt has.
QImage woodTile();

}  // namespace quintelle::ui::kept
