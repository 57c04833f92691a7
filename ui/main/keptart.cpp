#include "ui/main/keptart.h"

#include "ui/main/keptpictures.h"

namespace quintelle::ui::kept {

QPixmap board(qreal dpr) {
    return keptPicture(QStringLiteral("board"), dpr, art::board);
}
QPixmap logo(qreal dpr) {
    return keptPicture(QStringLiteral("logo"), dpr, art::logo);
}
QPixmap emblem(qreal dpr) {
    return keptPicture(QStringLiteral("emblem"), dpr, art::emblem);
}
QPixmap title(qreal dpr) {
    return keptPicture(QStringLiteral("title"), dpr, art::titlePicture);
}

QPixmap scoringTable(qreal dpr) {
    return keptPicture(QStringLiteral("scoringtable"), dpr, art::scoringTable);
}

QPixmap clockFrame(qreal dpr) {
    return keptPicture(QStringLiteral("clockframe"), dpr,
                       [](qreal ratio) { return art::clockFrame(art::clockFrameSize, ratio); });
}

QPixmap clockBar(qreal dpr) {
    return keptPicture(QStringLiteral("clockbar"), dpr, art::clockBar);
}

QPixmap offerFrame(qreal dpr) {
    return keptPicture(QStringLiteral("offerframe"), dpr, art::offerFrame);
}

QPixmap replacementWord(qreal dpr) {
    return keptPicture(QStringLiteral("replacement"), dpr, art::replacementWord);
}

QPixmap panelBackground(QSize size, qreal dpr) {
    return keptPicture(QStringLiteral("panel-%1x%2").arg(size.width()).arg(size.height()), dpr,
                       [size](qreal ratio) { return art::panelBackground(size, ratio); });
}

// Every DONE and CANCEL of the program shows the same pixels.
QPixmap button(art::ButtonWord word, bool pressed, qreal dpr) {
    return keptPicture(
        QStringLiteral("button-%1-%2").arg(static_cast<int>(word)).arg(pressed ? "down" : "up"),
        dpr, [word, pressed](qreal ratio) { return art::buttonPicture(word, pressed, ratio); });
}

QImage woodTile() {
    return keptPicture(QStringLiteral("wood"), 1.0,
                       [](qreal) { return QPixmap::fromImage(art::woodTile()); })
        .toImage();
}

}  // namespace quintelle::ui::kept
