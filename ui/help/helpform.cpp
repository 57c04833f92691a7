#include "ui/help/helpform.h"

#include <QDate>
#include <QFontMetrics>
#include <QLabel>
#include <QTextBrowser>

#include "ui/art/palette.h"
#include "ui/controls/ButtonComps.h"
#include "ui/controls/LbBack.h"
#include "ui/controls/TFlatPanelUnit.h"
#include "ui/controls/tag.h"
#include "ui/help/aboutform.h"
#include "ui/main/mainform.h"
#include "ui/main/widgets.h"

using namespace quintelle;
using namespace quintelle::ui;

namespace {

constexpr QSize kClient{523, 431};
constexpr QColor kButtonFace{64, 140, 90};
constexpr QColor kButtonBorder{192, 169, 5};
constexpr QColor kButtonCaption{192, 192, 192};
const FontSpec kCredit{"MS Sans Serif", 11};
const FontSpec kHeading{"MS Sans Serif", 16, true};
const FontSpec kButtonFont{"Arial", 13, true};
const FontSpec kPageFont{"Arial", 11};

// Page texts: the title on the first line, a blank line, then the body.
// Tabs line the values of the scoring tables up in a column.
const char* const kOverview =
    "Overview\n"
    "\n"
    "Hello, and thank you for trying Quintelle.\n"
    "\n"
    "This game began at my grandmother's kitchen table. She taught me patience games when I was "
    "small, and "
    "my uncles taught me poker, not always to my profit. One rainy afternoon, with an old deck and "
    "nobody to "
    "play against, I started laying the cards out in a square and wondering how good a hand I "
    "could make in "
    "every direction at once. By the time anyone called me for supper the light had gone and I was "
    "still "
    "shuffling.\n"
    "\n"
    "For years it stayed a pastime of pencil and paper, the scores added up in the margins of old "
    "envelopes "
    "and passed around among family and friends. When I started writing programs I kept promising "
    "myself I "
    "would put it on the computer, so that the adding up would take care of itself and the cards "
    "would "
    "shuffle without bending.\n"
    "\n"
    "Quintelle is that promise kept: the same quiet square of cards, a clock to keep you honest, "
    "and a score "
    "to beat next time. I hope it gives you as many pleasant evenings as it has given me.\n"
    "\n"
    "Orvanta Software\n";

const char* const kGamePlay =
    "Game Play\n"
    "\n"
    "The Object\n"
    "The object of Quintelle is to make the best poker hands you can in the rows and the columns "
    "of the "
    "grid.\n"
    "\n"
    "Five cards make one hand. The grid is five cells across and five cells down, so there are "
    "five hands "
    "across the grid and five hands down. Every card counts twice: once in its row and once in its "
    "column.\n"
    "\n"
    "How a Round Goes\n"
    "Each round you receive 26 cards from a freshly shuffled deck, one at a time: one card for "
    "each of the "
    "25 cells, and one replacement card. Click a cell to lay the card on offer there.\n"
    "\n"
    "Once in each round you may lay a card on top of one already on the grid. That is your "
    "replacement: the "
    "card underneath leaves the game. The word REPLACEMENT under the card on offer shows for as "
    "long as "
    "you still have it.\n"
    "\n"
    "Place your cards so that they form the best hands possible. A card that helps its row and its "
    "column "
    "at the same time is worth twice as much as one that helps only one of them.\n"
    "\n"
    "When all 26 cards are placed (the replacement card must be used), the round ends and the "
    "hands are "
    "tallied. The clock runs from the first card to the last, so a quick round earns a time "
    "bonus.\n"
    "\n"
    "Playing with the Keyboard\n"
    "Everything can be done without the mouse. While a round is dealing, the arrow keys move the "
    "gold frame over the grid; Home and End go to the ends of the row, Ctrl+Home and Ctrl+End to "
    "the corners. Enter or Space lays the card on offer in the framed cell, just as a click "
    "would. When no round is running, Enter starts a game; Ctrl+S starts one at any time. On the "
    "panels, Tab moves between the name box and the buttons, Enter presses the button with the "
    "gold ring (or DONE), and Escape cancels. F1 opens this help.\n"
    "\n"
    "See the Scoring page for what each hand is worth and for what it takes to go on to the next "
    "round.\n";

const char* const kScoring =
    "Scoring\n"
    "\n"
    "Hand Values\n"
    "Each row and each column is scored as a poker hand:\n"
    "\n"
    "    Pair\t2 points\n"
    "    Two Pair\t5 points\n"
    "    Three of a Kind\t10 points\n"
    "    Straight\t15 points\n"
    "    Flush\t20 points\n"
    "    Full House\t25 points\n"
    "    Four of a Kind\t50 points\n"
    "    Straight Flush\t75 points\n"
    "    Royal Flush\t100 points\n"
    "\n"
    "A row or column without any of these hands scores nothing.\n"
    "\n"
    "Time Bonus\n"
    "The quicker you complete a round, the bigger the bonus added to it:\n"
    "\n"
    "    Less than 31 seconds\t50 points\n"
    "    31 to 60 seconds\t35 points\n"
    "    61 to 90 seconds\t20 points\n"
    "    More than 90 seconds\tno bonus\n"
    "\n"
    "Target Score\n"
    "To go on to the next round, your total must reach the round's target score. The target is "
    "found by "
    "adding 150 to your score at the end of the last round; in the first round the target is 150.\n"
    "\n"
    "For example, if you score 175 in the first round, the target for the second round is 325 "
    "(175 + 150).\n"
    "\n"
    "So every round has to earn at least 150 points, time bonus included. The game ends when a "
    "round does "
    "not reach its target score, and your total at that moment is your final score.\n";

const char* const kHistory =
    "History\n"
    "\n"
    "March 14, 2005 - Version 1.0.0.1\n"
    "    The year in the help file's credits now keeps itself up to date.\n"
    "    The help pages were read through once more and tidied.\n"
    "\n"
    "November 2, 2004 - Version 1.0.0.0\n"
    "    First public release.\n"
    "    Scores can be posted to the online high-score list.\n"
    "    Looks for a newer version at start (can be turned off under Options).\n"
    "\n"
    "September 20, 2004 - Version 0.9.0.0\n"
    "    Test release for family and friends.\n"
    "    Added the tally list: rounds played, rounds cleared and the top ten.\n"
    "    Added sounds, with a menu option to turn them off.\n"
    "\n"
    "July 8, 2004 - Version 0.5.0.0\n"
    "    The first version that could play a whole game from start to finish.\n";

struct Page {
    const char* name;
    const char* text;
};
const Page kPages[] = {
    {"memo1", kOverview}, {"memo3", kGamePlay}, {"memo4", kScoring}, {"memo5", kHistory}};

struct PageButton {
    const char* name;
    int tag;
    const char* caption;
    QRect geometry;
    Qt::Alignment alignment = Qt::AlignLeft;
};
const PageButton kButtons[] = {
    {"SelButton1", 1, "Overview", QRect(7, 8, 122, 20)},
    {"SelButton3", 3, "Game Play", QRect(7, 32, 122, 20)},
    {"SelButton4", 4, "Scoring", QRect(7, 56, 122, 20)},
    {"SelButton5", 5, "Documentation", QRect(7, 80, 122, 20)},
    {"button_about", 10, "About", QRect(7, 152, 122, 20)},
    {"button_done", 10, "Done", QRect(18, 404, 95, 20), Qt::AlignHCenter},
};

TFlatPanel* makePanel(QWidget* parent, const char* name, QRect geometry) {
    auto* panel = new TFlatPanel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setTransparent(true);
    panel->setColorHighLight(Qt::black);
    panel->setColorShadow(Qt::black);
    return panel;
}

TSelButton* makeButton(QWidget* parent, const PageButton& entry) {
    auto* button = new TSelButton(parent);
    button->setObjectName(QString::fromLatin1(entry.name));
    setTag(button, entry.tag);
    button->setCaption(QString::fromLatin1(entry.caption));
    button->setGeometry(entry.geometry);
    button->setAlignment(entry.alignment);
    button->setFont(makeFont(kButtonFont));
    // The face keeps its colour; only the caption lights up under the pointer.
    button->setColor(kButtonFace);
    button->setColorOver(kButtonFace);
    button->setColorDown(kButtonFace);
    button->setColorBorder(kButtonBorder);
    button->setFontColor(kButtonCaption);
    button->setColorOverCaption(palette::cream);
    return button;
}

QTextBrowser* makePage(QWidget* parent, const Page& page, QRect geometry) {
    auto* memo = new QTextBrowser(parent);
    memo->setObjectName(QString::fromLatin1(page.name));
    memo->setGeometry(geometry);
    memo->setFrameShape(QFrame::NoFrame);
    // Tab reaches the page and the arrows move a caret through it, so a
    // screen reader reads it line by line as a document.
    memo->setFocusPolicy(Qt::StrongFocus);
    memo->setTextInteractionFlags(memo->textInteractionFlags() | Qt::TextSelectableByKeyboard);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setFont(makeFont(kPageFont));
    QPalette look = memo->palette();
    look.setColor(QPalette::Base, palette::cream);
    look.setColor(QPalette::Text, Qt::black);
    memo->setPalette(look);
    memo->document()->setDocumentMargin(5);
    memo->setTabStopDistance(140);
    memo->setPlainText(QString::fromUtf8(page.text));
    return memo;
}

}  // namespace

Thelp::Thelp(Tmain* main, Tabout* about) : SecondaryWindow(main), about_(about) {
    dress(QStringLiteral("help"), QStringLiteral("Quintelle - Help File"), kClient);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    buildSide();
    buildPages();
    FormCreate(main);
}

void Thelp::buildSide() {
    TFlatPanel* side = makePanel(this, "panel_side", QRect(0, 0, 137, kClient.height()));
    for (const PageButton& entry : kButtons) {
        TSelButton* button = makeButton(side, entry);
        const QString name = button->objectName();
        if (name == u"button_about")
            connect(button, &TSelButton::clicked, this, &Thelp::button_aboutClick);
        else if (name == u"button_done")
            connect(button, &TSelButton::clicked, this, &Thelp::button_doneClick);
        else
            connect(button, &TSelButton::clicked, this, &Thelp::SelButton1Click);
    }

    // The credits are centred in the column. The year label starts at a fixed
    // place, so the span before it is set flush against it, one space away:
    // the third line then reads as one, whatever the width of its text.
    const QRect line(12, 336, 121, 13);
    makeLabel(side, "Label1", line, QStringLiteral("A card game by"), kCredit, palette::cream,
              Qt::AlignHCenter);
    makeLabel(side, "Label2", line.translated(0, 16), QStringLiteral("Orvanta Software"), kCredit,
              palette::cream, Qt::AlignHCenter);
    QLabel* span =
        makeLabel(side, "Label3", QRect(12, 368, 88, 13), QStringLiteral("Copyright 2004 -"),
                  kCredit, palette::cream, Qt::AlignRight);
    span->setIndent(QFontMetrics(span->font()).horizontalAdvance(u' '));
    label_year =
        makeLabel(side, "label_year", QRect(100, 368, 33, 13), QString(), kCredit, palette::cream);
    makeLabel(side, "Label4", line.translated(0, 48), QStringLiteral("All rights reserved."),
              kCredit, palette::cream, Qt::AlignHCenter);
}

void Thelp::buildPages() {
    TFlatPanel* panel = makePanel(this, "panel_main", QRect(137, 0, 386, kClient.height()));
    const QRect inside = panel->rect().adjusted(1, 1, -1, -1);  // within the one-pixel frame
    label_caption =
        makeLabel(panel, "label_caption", QRect(inside.topLeft(), QSize(inside.width(), 20)),
                  QStringLiteral("Overview"), kHeading, palette::cream, Qt::AlignHCenter);
    const QRect pageArea = inside.adjusted(0, 20, 0, 0);
    for (const Page& page : kPages) makePage(panel, page, pageArea);
}

// One page is shown at a time, the others hidden, so assistive technology
// sees only the page in front.
void Thelp::showPage(QWidget* page) {
    for (auto* memo : findChildren<QTextBrowser*>()) memo->setVisible(memo == page);
}

void Thelp::FormCreate(Tmain* main) {
    showPage(findChild<QWidget*>(QStringLiteral("memo1")));
    LbBackground1 = coverWithTile(this, main ? main->backgroundTile() : QImage());
    // The year at start-up: a session running past New Year keeps it.
    label_year->setText(QString::number(QDate::currentDate().year()));
}

void Thelp::SelButton1Click(TSelButton* sender) {
    auto* page = findChild<QWidget*>(QStringLiteral("memo") + QString::number(tagOf(sender)));
    if (!page) return;  // a button without a page of its own leaves the one in front
    showPage(page);
    // The heading repeats the button's caption, not the page's title line.
    label_caption->setText(sender->caption());
}

void Thelp::button_aboutClick() {
    if (about_) about_->showOverMain();
}

void Thelp::button_doneClick() {
    close();
}
