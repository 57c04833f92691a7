// Writes every picture of the art library as PNG (at 1x and 2x), and contact
// sheets of the 53 cards, the main board, the words and a panel at 1x, 1.5x,
// 2x and 3x.
// Usage: QT_QPA_PLATFORM=offscreen quintelle_render_art <folder>

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "art.h"

namespace art = quintelle::art;

namespace {

bool save(const QImage& image, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QImage canvasImage(QSize logical, qreal dpr) {
    QImage image((QSizeF(logical) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    return image;
}

void tile(QPainter& p, const QImage& tile, QSize area) {
    for (int x = 0; x < area.width(); x += tile.width())
        for (int y = 0; y < area.height(); y += tile.height()) p.drawImage(x, y, tile);
}

QImage cardSheet(qreal dpr) {
    const int gap = 6;
    const QSize cell(art::cardSize.width() + gap, art::cardSize.height() + gap);
    const QSize size(cell.width() * 13 + gap, cell.height() * 5 + gap);
    QImage image = canvasImage(size, dpr);
    QPainter p(&image);
    tile(p, art::woodTile(), size);
    p.drawPixmap(gap, gap, art::card(0, dpr));
    for (int k = 1; k <= 52; ++k) {
        const int suit = (k - 1) / 13;
        const int rank = (k - 1) % 13;
        p.drawPixmap(gap + rank * cell.width(), gap + (suit + 1) * cell.height(),
                     art::card(k, dpr));
    }
    return image;
}

// The board roughly as the main window lays it out: a point (x, y) of the
// inner board panel lies at (x + 8, y + 38) of the window.
QImage boardSample(qreal dpr) {
    const QSize size(676, 582);
    QImage image = canvasImage(size, dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    tile(p, art::woodTile(), size);
    p.translate(8, 38);
    const QColor cream(245, 235, 216);

    auto text = [&](QRect box, const QString& s, int px, bool bold, const QColor& colour,
                    const char* family = "Liberation Sans") {
        QFont f(QString::fromLatin1(family));
        f.setPixelSize(px);
        f.setBold(bold);
        p.setFont(f);
        p.setPen(colour);
        p.drawText(box, Qt::AlignCenter, s);
    };

    p.drawPixmap(3, 2, art::board(dpr));
    p.drawPixmap(466, 250, art::scoringTable(dpr));
    p.drawPixmap(462, 497, art::logo(dpr));
    p.drawPixmap(495, 172, art::clockFrame(art::clockFrameSize, dpr));
    const QPixmap bar = art::clockBar(dpr);
    p.drawPixmap(QPoint(497, 174), bar, QRect(0, 0, int(86 * dpr), int(25 * dpr)));
    text(QRect(501, 177, 87, 19), QStringLiteral("Time: 1:26"), 16, true, Qt::black);
    text(QRect(497, 208, 129, 13), QStringLiteral("Target Score: 300"), 11, true, cream);
    text(QRect(497, 224, 129, 20), QStringLiteral("Score: 162"), 16, true, cream);
    p.drawPixmap(504, 4, art::offerFrame(dpr));
    p.drawPixmap(527, 46, art::card(38, dpr));
    p.drawPixmap(514, 146, art::replacementWord(dpr));
    text(QRect(510, 9, 105, 16), QStringLiteral("Round: 2"), 13, true, cream, "Liberation Sans");
    text(QRect(509, 25, 107, 16), QStringLiteral("Cards Left: 12"), 13, true, cream);
    p.drawPixmap(494, 462, art::buttonPicture(art::ButtonWord::StartGame, false, dpr));

    const std::vector<std::pair<int, int>> placed{{11, 13}, {12, 26}, {13, 39}, {14, 52}, {15, 12},
                                                  {21, 9},  {22, 22}, {23, 48}, {25, 11}, {31, 0},
                                                  {33, 24}, {34, 37}, {42, 1},  {44, 45}, {55, 30}};
    for (const auto& [cell, code] : placed) {
        const int r = cell / 10;
        const int c = cell % 10;
        p.drawPixmap(9 + 75 * (c - 1), 8 + 100 * (r - 1), art::card(code, dpr));
    }
    const int rowTops[5] = {47, 147, 247, 348, 447};
    for (int r = 0; r < 5; ++r)
        text(QRect(397, rowTops[r], 56, 19), QString::number(r * 15), 16, true, cream);
    const int colLefts[5] = {7, 87, 162, 236, 311};
    for (int c = 0; c < 5; ++c)
        text(QRect(colLefts[c], 514, 73, 19), QString::number(c * 5), 16, true, cream);
    text(QRect(395, 506, 54, 19), QStringLiteral("112"), 16, true, cream);
    return image;
}

QImage panelSample(qreal dpr) {
    const QSize size(329, 336);
    QImage image = canvasImage(size, dpr);
    QPainter p(&image);
    p.drawPixmap(0, 0, art::panelBackground(size, dpr));
    p.drawPixmap(26, 245, art::buttonPicture(art::ButtonWord::SendScore, false, dpr));
    p.drawPixmap(171, 245, art::buttonPicture(art::ButtonWord::HighScores, true, dpr));
    p.drawPixmap(114, 293, art::buttonPicture(art::ButtonWord::Cancel, false, dpr));
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(19);
    f.setBold(true);
    f.setUnderline(true);
    p.setFont(f);
    p.setPen(QColor(226, 228, 182));
    p.drawText(QRect(-1, 10, 327, 24), Qt::AlignCenter, QStringLiteral("Game Over!"));
    f.setUnderline(false);
    f.setPixelSize(16);
    p.setFont(f);
    p.setPen(QColor(245, 235, 216));
    p.drawText(QRect(32, 45, 265, 20), Qt::AlignLeft, QStringLiteral("Score: 450"));
    return image;
}

// Lettered pictures on the wood, as the about and tally windows show them.
QImage wordSample(qreal dpr) {
    const QSize size(300, 230);
    QImage image = canvasImage(size, dpr);
    QPainter p(&image);
    tile(p, art::woodTile(), size);
    p.drawPixmap(1, 3, art::emblem(dpr));
    p.drawPixmap(58, 20, art::titlePicture(dpr));
    p.drawPixmap(96, 70, art::logo(dpr));
    p.drawPixmap(5, 118, art::replacementWord(dpr));
    p.drawPixmap(110, 116, art::buttonPicture(art::ButtonWord::ResetTally, false, dpr));
    p.drawPixmap(5, 150, art::buttonPicture(art::ButtonWord::StartGame, false, dpr));
    p.drawPixmap(150, 150, art::buttonPicture(art::ButtonWord::StartGame, true, dpr));
    p.drawPixmap(5, 190, art::buttonPicture(art::ButtonWord::Done, false, dpr));
    p.drawPixmap(105, 190, art::buttonPicture(art::ButtonWord::Done, true, dpr));
    p.drawPixmap(205, 190, art::buttonPicture(art::ButtonWord::Cancel, false, dpr));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quintelle_render_art <folder>\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    using Picture = std::function<QPixmap(qreal)>;
    std::vector<std::pair<QString, Picture>> pictures{
        {QStringLiteral("board"), [](qreal d) { return art::board(d); }},
        {QStringLiteral("scoring_table"), [](qreal d) { return art::scoringTable(d); }},
        {QStringLiteral("clock_frame"),
         [](qreal d) { return art::clockFrame(art::clockFrameSize, d); }},
        {QStringLiteral("clock_bar"), [](qreal d) { return art::clockBar(d); }},
        {QStringLiteral("offer_frame"), [](qreal d) { return art::offerFrame(d); }},
        {QStringLiteral("panel_cleared"),
         [](qreal d) {
             return art::panelBackground({329, 336}, d);
         }},
        {QStringLiteral("panel_continue"),
         [](qreal d) {
             return art::panelBackground({329, 297}, d);
         }},
        {QStringLiteral("replacement"), [](qreal d) { return art::replacementWord(d); }},
        {QStringLiteral("logo"), [](qreal d) { return art::logo(d); }},
        {QStringLiteral("emblem"), [](qreal d) { return art::emblem(d); }},
        {QStringLiteral("title"), [](qreal d) { return art::titlePicture(d); }},
    };
    const std::pair<art::ButtonWord, const char*> buttons[] = {
        {art::ButtonWord::StartGame, "start_game"},   {art::ButtonWord::Done, "done"},
        {art::ButtonWord::Cancel, "cancel"},          {art::ButtonWord::SendScore, "send_score"},
        {art::ButtonWord::HighScores, "high_scores"}, {art::ButtonWord::ResetTally, "reset_tally"}};
    for (const auto& [word, name] : buttons) {
        const art::ButtonWord w = word;
        pictures.emplace_back(QStringLiteral("button_%1").arg(QLatin1String(name)),
                              [w](qreal d) { return art::buttonPicture(w, false, d); });
        pictures.emplace_back(QStringLiteral("button_%1_pressed").arg(QLatin1String(name)),
                              [w](qreal d) { return art::buttonPicture(w, true, d); });
    }
    for (int k = 0; k < art::cardPictureCount; ++k)
        pictures.emplace_back(QStringLiteral("card_%1").arg(k, 2, 10, QLatin1Char('0')),
                              [k](qreal d) { return art::card(k, d); });

    bool ok = true;
    for (const auto& [name, draw] : pictures)
        for (qreal dpr : {1.0, 2.0})
            ok &= save(draw(dpr).toImage(),
                       dir.filePath(QStringLiteral("%1@%2x.png").arg(name).arg(dpr)));
    ok &= save(art::woodTile(), dir.filePath(QStringLiteral("tile.png")));
    // Sheets also at the in-between and the large densities screens use.
    for (qreal dpr : {1.0, 1.5, 2.0, 3.0}) {
        ok &= save(cardSheet(dpr), dir.filePath(QStringLiteral("sheet_cards@%1x.png").arg(dpr)));
        ok &= save(boardSample(dpr), dir.filePath(QStringLiteral("sheet_board@%1x.png").arg(dpr)));
        ok &= save(wordSample(dpr), dir.filePath(QStringLiteral("sheet_words@%1x.png").arg(dpr)));
        ok &= save(panelSample(dpr), dir.filePath(QStringLiteral("sheet_panel@%1x.png").arg(dpr)));
    }
    return ok ? 0 : 1;
}
