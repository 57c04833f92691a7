#pragma once

// Every picture the game shows, drawn by code. Each function returns a pixmap
// of the given logical size whose backing store holds dpr times as many
// pixels, so the art stays crisp on high-density screens. Drawing is
// deterministic: the same arguments always give the same pixels.

#include <QImage>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace quintelle::art {

inline constexpr QSize cardSize{71, 96};
inline constexpr int cardPictureCount = 53;  // back + 52 faces

// Picture 0 is the card back; 1..52 are the faces in card-code order
// (clubs, diamonds, hearts, spades; Two..Ace within each suit).
QPixmap card(int picture, qreal dpr);

// The shared 100 x 80 wood tile that covers every window.
QImage woodTile();

// Board under the 5 x 5 grid: card places, line-score tags and the TOTAL box.
inline constexpr QSize boardSize{455, 534};
QPixmap board(qreal dpr);

// The hands with their points and the time-bonus bands.
inline constexpr QSize scoringTableSize{192, 208};
QPixmap scoringTable(qreal dpr);

// The recessed frame behind the clock bar, marked where the time bonus drops,
// and the bar itself (gold to pale).
inline constexpr QSize clockFrameSize{135, 29};
inline constexpr QSize clockBarSize{131, 25};
QPixmap clockFrame(QSize size, qreal dpr);
QPixmap clockBar(qreal dpr);

// The frame around the card on offer; the card sits at (23, 42) inside it.
inline constexpr QSize offerFrameSize{117, 163};
QPixmap offerFrame(qreal dpr);

// Background of the pop-up panels, drawn at whatever size the panel has.
QPixmap panelBackground(QSize size, qreal dpr);

// The word REPLACEMENT on a transparent ground.
inline constexpr QSize replacementWordSize{97, 14};
QPixmap replacementWord(qreal dpr);

enum class ButtonWord { StartGame, Done, Cancel, SendScore, HighScores, ResetTally, Yes };
QSize buttonSize(ButtonWord word);
QPixmap buttonPicture(ButtonWord word, bool pressed, qreal dpr);

// Vendor logo with the product name, the product emblem and the title word.
inline constexpr QSize logoSize{194, 40};
inline constexpr QSize emblemSize{86, 86};
inline constexpr QSize titlePictureSize{247, 44};
QPixmap logo(qreal dpr);
QPixmap emblem(qreal dpr);
// The emblem in its own 86 x 86 coordinates on any paint device; the
// program's icons at every size and as a vector drawing come from it.
void drawEmblem(QPainter& p);
QPixmap titlePicture(qreal dpr);

}  // namespace quintelle::art
