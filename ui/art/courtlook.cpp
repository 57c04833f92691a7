#include "courtparts.h"

namespace quintelle::art::detail::court {

Look lookOf(Suit s) {
    const QColor gold = palette::gold, goldDark = palette::goldDark;
    switch (s) {
        case Suit::Clubs:
            return {s,
                    {30, 104, 64},
                    {12, 60, 36},
                    {36, 36, 44},
                    gold,
                    goldDark,
                    {64, 190, 120},
                    {96, 62, 30},
                    {60, 36, 16},
                    {172, 112, 108},
                    {22, 28, 24},
                    palette::ink};
        case Suit::Diamonds:
            return {s,
                    {214, 62, 30},
                    {140, 30, 14},
                    {236, 186, 56},
                    gold,
                    goldDark,
                    {40, 120, 200},
                    {128, 70, 32},
                    {76, 38, 14},
                    {200, 62, 62},
                    {70, 26, 12},
                    palette::red};
        case Suit::Hearts:
            return {s,
                    {178, 20, 46},
                    {110, 8, 28},
                    {92, 46, 124},
                    gold,
                    goldDark,
                    {240, 240, 248},
                    {222, 178, 92},
                    {160, 112, 40},
                    {196, 44, 62},
                    {64, 16, 24},
                    palette::red};
        case Suit::Spades:
            break;
    }
    return {s,
            {40, 60, 136},
            {18, 28, 80},
            {34, 34, 40},
            {204, 208, 218},
            {112, 118, 132},
            {96, 150, 236},
            {40, 34, 32},
            {14, 12, 12},
            {168, 106, 110},
            {16, 18, 30},
            palette::ink};
}

QColor mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

QLinearGradient metal(const Look& l, const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, mix(l.trim, Qt::white, 0.45));
    g.setColorAt(0.5, l.trim);
    g.setColorAt(1, l.trimDark);
    return g;
}

QLinearGradient cloth(const QColor& light, const QColor& dark) {
    QLinearGradient g(18, 34, 54, 52);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    return g;
}

QPen outline(const Look& l, qreal width) {
    return QPen(l.line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace quintelle::art::detail::court
