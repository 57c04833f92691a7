#include "ui/main/boardlayout.h"

#include "game/controls.h"
#include "ui/art/palette.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/TFlatPanelUnit.h"
#include "ui/controls/tag.h"
#include "ui/main/keptart.h"

namespace quintelle::ui {

namespace {

using Kind = LayoutControl::Kind;

const FontSpec kSans11Bold{"MS Sans Serif", 11, true};
const FontSpec kSans13{"MS Sans Serif", 13};
const FontSpec kSans16Bold{"MS Sans Serif", 16, true};
const FontSpec kSans16BoldUnderline{"MS Sans Serif", 16, true, true};
const FontSpec kSans19{"MS Sans Serif", 19};
const FontSpec kSans19Bold{"MS Sans Serif", 19, true};
const FontSpec kSans19BoldUnderline{"MS Sans Serif", 19, true, true};
const FontSpec kSans21BoldUnderline{"MS Sans Serif", 21, true, true};
const FontSpec kArial13Bold{"Arial", 13, true};
const FontSpec kArial16Bold{"Arial", 16, true};

LayoutControl panel(const QString& name, const QString& parent, QRect rect, QColor frame,
                    bool seeThrough = false) {
    LayoutControl c{name, parent, rect, Kind::Panel};
    c.frame = frame;
    c.seeThrough = seeThrough;
    return c;
}

// A pop-up panel: green-framed, hidden until the game or the player opens it.
LayoutControl popup(const QString& name, QRect rect) {
    LayoutControl c = panel(name, QStringLiteral("panel_board1"), rect, palette::popupFrame);
    c.hidden = true;
    return c;
}

LayoutControl label(const QString& name, const QString& parent, QRect rect, const QString& text,
                    const FontSpec& font, QColor colour = palette::cream,
                    Qt::Alignment alignment = Qt::AlignHCenter) {
    LayoutControl c{name, parent, rect, Kind::Label, text, font, colour};
    c.alignment = alignment;
    return c;
}

LayoutControl wrapped(LayoutControl c) {
    c.wordWrap = true;
    return c;
}

LayoutControl clickable(LayoutControl c) {
    c.clickable = true;
    return c;
}

LayoutControl picture(const QString& name, const QString& parent, QRect rect, Picture::Source art,
                      bool stretch = false) {
    LayoutControl c{name, parent, rect, Kind::Picture};
    c.picture = std::move(art);
    c.stretch = stretch;
    return c;
}

// The brown picture that fills a pop-up panel.
LayoutControl background(const QString& name, const QString& parent, QSize size) {
    return picture(
        name, parent, QRect(QPoint(), size),
        [size](qreal dpr) { return kept::panelBackground(size, dpr); }, true);
}

LayoutControl card(const QString& name, QPoint topLeft) {
    return LayoutControl{name, QStringLiteral("panel_board1"), QRect(topLeft, art::cardSize),
                         Kind::Card};
}

LayoutControl button(const QString& name, const QString& parent, QPoint topLeft,
                     art::ButtonWord word) {
    LayoutControl c{name, parent, QRect(topLeft, art::buttonSize(word)), Kind::Button};
    c.word = word;
    return c;
}

LayoutControl nameEdit(const QString& name, const QString& parent, QRect rect) {
    return LayoutControl{name, parent, rect, Kind::NameEdit, {}, kSans19};
}

std::vector<LayoutControl> design() {
    const QString board = QStringLiteral("panel_board"), inner = QStringLiteral("panel_board1");
    std::vector<LayoutControl> rows = {
        panel(board, kClient, {2, 5, 671, 577}, palette::boardFrame, true),
        label("label_name", board, {14, 10, 327, 16},
              QStringLiteral("Welcome to Quintelle  by Orvanta Software!"), kSans13, palette::cream,
              Qt::AlignLeft),
        panel(inner, board, {6, 33, 659, 538}, palette::wood, true),
        picture("Image27", inner, {3, 2, 455, 534}, kept::board),
        clickable(picture("image_logo", inner, {462, 497, 194, 40}, kept::logo)),
        label("label_score", inner, {497, 224, 129, 20}, QStringLiteral("Score: 0"), kSans16Bold),
        picture("Image1", inner, {495, 172, 135, 29}, kept::clockFrame, true),
        picture("image_timer", inner, {497, 174, 131, 25}, kept::clockBar),
        // Two pixels wider each side than designed, about the same centre,
        // so a round's tenth minute ("Time: 10:00") is not cut off.
        label("label_timer", inner, {499, 177, 91, 19}, QStringLiteral("Time: 0:00"), kArial16Bold,
              Qt::black),
    };
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            LayoutControl cell = clickable(
                card(nameOf(controls::cell(r, c)), QPoint(9 + 75 * (c - 1), 8 + 100 * (r - 1))));
            cell.hint = QString::number(r * 10 + c);
            rows.push_back(cell);
        }
    // The fourth row's score sits a pixel lower than the rhythm of the rows.
    const int rowTops[5] = {47, 147, 247, 348, 447};
    for (int n = 1; n <= 5; ++n)
        rows.push_back(label(nameOf(controls::line(n)), inner, {397, rowTops[n - 1], 56, 19},
                             QStringLiteral("0"), kArial16Bold));
    const int columnLefts[5] = {7, 87, 162, 236, 311};
    for (int n = 6; n <= 10; ++n)
        rows.push_back(label(nameOf(controls::line(n)), inner, {columnLefts[n - 6], 514, 73, 19},
                             QStringLiteral("0"), kArial16Bold));
    LayoutControl replace =
        picture("image_replace", inner, {514, 146, 97, 14}, kept::replacementWord);
    replace.tag = 1;
    replace.hidden = true;
    rows.insert(
        rows.end(),
        {label("label_thisturn", inner, {395, 506, 54, 19}, QStringLiteral("0"), kArial16Bold),
         picture("Image3", inner, {504, 4, 117, 163}, kept::offerFrame),
         card("image_topcard", {527, 46}),
         label("label_roundnum", inner, {510, 9, 105, 16}, QStringLiteral("Round: 100"),
               kArial13Bold),
         replace,
         label("label_cardcount", inner, {509, 25, 107, 16}, QStringLiteral("Cards Left: "),
               kArial13Bold),
         label("label_targetscore", inner, {497, 208, 129, 13}, QStringLiteral("Target Score: 200"),
               kSans11Bold),
         button("button_start", inner, {494, 462}, art::ButtonWord::StartGame),
         picture("Image2", inner, {466, 250, 192, 208}, kept::scoringTable),

         popup("panel_name", {27, 112, 329, 161}),
         background("Image6", "panel_name", {329, 161}),
         label("Label4", "panel_name", {2, 16, 325, 24}, QStringLiteral("ENTER YOUR NAME"),
               kSans19BoldUnderline, palette::emphasis),
         nameEdit("edit_aname", "panel_name", {83, 54, 161, 32}),
         button("button_namedone", "panel_name", {62, 112}, art::ButtonWord::Done),
         button("button_namecancel", "panel_name", {172, 112}, art::ButtonWord::Cancel),

         popup("panel_update", {29, 104, 329, 148}),
         background("Image7", "panel_update", {329, 148}),
         label("Label5", "panel_update", {2, 12, 325, 24}, QStringLiteral("Update Available"),
               kSans19BoldUnderline, palette::emphasis),
         label("Label6", "panel_update", {2, 44, 325, 20},
               QStringLiteral("Would you like to update now?"), kSans16Bold),
         button("button_updateyes", "panel_update", {62, 76}, art::ButtonWord::Yes),
         button("button_updatecancel", "panel_update", {172, 76}, art::ButtonWord::Cancel),
         label("label_update", "panel_update", {2, 120, 325, 20}, QString(), kSans16Bold),

         popup("panel_cleared", {28, 89, 329, 336}),
         background("Image4", "panel_cleared", {329, 336}),
         label("Label1", "panel_cleared", {-1, 10, 327, 24}, QStringLiteral("Game Over!"),
               kSans19BoldUnderline, palette::emphasis),
         label("label_previous1", "panel_cleared", {32, 45, 265, 20}, QStringLiteral("Score: 0"),
               kSans16Bold),
         label("label_turnscore1", "panel_cleared", {32, 69, 265, 20},
               QStringLiteral("This Round: "), kSans16Bold),
         label("label_timebonus1", "panel_cleared", {32, 93, 265, 20},
               QStringLiteral("Time Bonus: "), kSans16BoldUnderline),
         label("label_score1", "panel_cleared", {2, 121, 327, 24}, QStringLiteral("Your Score: "),
               kSans19Bold, palette::emphasis),
         label("label_ts1", "panel_cleared", {32, 150, 265, 20}, QStringLiteral("Target Score: "),
               kSans16Bold, palette::emphasis),
         label("Label3", "panel_cleared", {2, 173, 327, 24}, QStringLiteral("Enter Your Name"),
               kSans19Bold),
         nameEdit("edit_name", "panel_cleared", {83, 195, 161, 32}),
         button("button_sendscore", "panel_cleared", {26, 245}, art::ButtonWord::SendScore),
         button("button_highscores", "panel_cleared", {171, 245}, art::ButtonWord::HighScores),
         button("button_cancel", "panel_cleared", {114, 293}, art::ButtonWord::Cancel)});
    // The posting wait, laid over the two buttons it stands for.
    LayoutControl wait = panel("panel_wait", "panel_cleared", {19, 238, 288, 46}, palette::wood);
    wait.text = QStringLiteral("Posting Score, Please Wait......");
    wait.font = kSans19;
    wait.colour = palette::cream;
    wait.hidden = true;
    rows.insert(
        rows.end(),
        {wait, popup("panel_continue", {27, 88, 329, 297}),
         background("Image5", "panel_continue", {329, 297}),
         wrapped(label("label_continue", "panel_continue", {8, 8, 313, 24},
                       QStringLiteral("WAY TO GO!"), kSans21BoldUnderline, palette::emphasis)),
         wrapped(label("Label2", "panel_continue", {8, 40, 313, 63},
                       QStringLiteral("You earned enough to continue to the next round!"),
                       kSans19Bold)),
         label("label_previous", "panel_continue", {32, 109, 265, 20},
               QStringLiteral("Previous Score: "), kSans16Bold),
         label("label_turnscore", "panel_continue", {32, 133, 265, 20},
               QStringLiteral("This Round: "), kSans16Bold),
         label("label_timebonus", "panel_continue", {32, 157, 265, 20},
               QStringLiteral("Time Bonus: "), kSans16BoldUnderline),
         label("label_total", "panel_continue", {32, 181, 265, 20}, QStringLiteral("Total: "),
               kSans19Bold, palette::emphasis),
         label("label_ts", "panel_continue", {32, 213, 265, 20}, QStringLiteral("Target Score: "),
               kSans16Bold, palette::emphasis),
         button("button_continue", "panel_continue", {117, 250}, art::ButtonWord::Done)});
    return rows;
}

QWidget* build(const LayoutControl& row, QWidget* parent) {
    switch (row.kind) {
        case Kind::Panel: {
            auto* panel = new TFlatPanel(parent);
            panel->setTransparent(row.seeThrough);
            panel->setColorHighLight(row.frame);
            panel->setColorShadow(row.frame);
            panel->setColor(palette::wood);
            if (!row.text.isEmpty()) {
                panel->setCaption(row.text);
                panel->setAlignment(row.alignment);
                panel->setFont(makeFont(row.font));
                panel->setFontColor(row.colour);
            }
            return panel;
        }
        case Kind::Label:
            return makeLabel(parent, "", row.rect, row.text, row.font, row.colour, row.alignment,
                             row.wordWrap);
        case Kind::Picture:
        case Kind::Card: {
            auto* picture = row.kind == Kind::Card
                                ? new CardImage(parent, "", row.rect.topLeft())
                                : new Picture(parent, "", row.rect, row.picture, row.stretch);
            picture->setTransparentForMouse(!row.clickable);
            if (row.clickable) picture->setCursor(Qt::PointingHandCursor);
            return picture;
        }
        case Kind::Button:
            return makePictureButton(parent, "", row.rect.topLeft(), row.word);
        case Kind::NameEdit: {
            auto* edit = new NameEdit(parent, "", row.rect, 10);  // typing stops at ten
            edit->setFont(makeFont(row.font));
            return edit;
        }
    }
    return nullptr;
}

}  // namespace

const std::vector<LayoutControl>& boardLayout() {
    static const std::vector<LayoutControl> rows = design();
    return rows;
}

QHash<QString, QWidget*> buildBoard(QWidget* client, const std::vector<LayoutControl>& rows) {
    QHash<QString, QWidget*> built;
    built.insert(kClient, client);
    for (const LayoutControl& row : rows) {
        QWidget* w = build(row, built.value(row.parent));
        w->setObjectName(row.name);
        w->setGeometry(row.rect);
        if (row.tag) setTag(w, row.tag);
        if (!row.hint.isEmpty()) w->setProperty("hint", row.hint);
        if (row.hidden) w->hide();
        built.insert(row.name, w);
    }
    built.remove(kClient);
    return built;
}

}  // namespace quintelle::ui
