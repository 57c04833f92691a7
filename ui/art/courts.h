#pragma once

// The twelve court pictures: a framed double-headed portrait inside the
// card's indices. Each rank has its own figure (face, headdress, costume and
// what it holds); each suit its own palette and emblem.

#include <QPainter>

#include "paint.h"

namespace quintelle::art::detail {

enum class Court { Jack = 9, Queen = 10, King = 11 };  // their ranks

// Draws the portrait panel of a court card on a 71 x 96 card face.
void drawCourt(QPainter& p, Suit suit, Court rank);

}  // namespace quintelle::art::detail
