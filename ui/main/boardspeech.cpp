#include "ui/main/boardspeech.h"

#include <QEvent>
#include <QLabel>
#include <QShortcut>

#include "game/PokerHand.h"
#include "game/names.h"
#include "game/scoring.h"
#include "ui/controls/tag.h"
#include "ui/main/boardaccessible.h"
#include "ui/main/boardview.h"

namespace quintelle::ui {

namespace {

void setName(QWidget* w, const QString& name) {
    // Every change is an event a screen reader may speak; repeat none.
    if (w && w->accessibleName() != name) w->setAccessibleName(name);
}

QString latin(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

const char* const kResultPanels[] = {"panel_continue", "panel_cleared", "panel_name"};

}  // namespace

BoardSpeech::BoardSpeech(BoardView& view) : QObject(&view), board_(view) {
    QWidget* board = view.control(QStringLiteral("panel_board1"));
    board->setAccessibleName(QStringLiteral("Board"));
    board->setAccessibleDescription(
        QStringLiteral("Arrow keys choose a cell; Enter or Space lays the card on offer there"));

    announcer_ = new Announcer(board);
    flush_.setSingleShot(true);
    flush_.setInterval(0);
    connect(&flush_, &QTimer::timeout, this, &BoardSpeech::flush);
    // T says the state of the round: the clock is not read out every second.
    auto* status = new QShortcut(QKeySequence(Qt::Key_T), board, [this] { announce(this->status()); });
    status->setContext(Qt::WidgetWithChildrenShortcut);

    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) nameCell(r, c);
    for (int n = 1; n <= 10; ++n) nameLine(n);
    tagChanged(QStringLiteral("image_topcard"));
    setName(view.control(QStringLiteral("image_replace")), QStringLiteral("Replacement available"));
    setName(view.control(QStringLiteral("image_logo")),
            QStringLiteral("Orvanta Software web site"));
    setName(view.control(QStringLiteral("image_timer")), QStringLiteral("Round clock"));
    setName(view.control(QStringLiteral("Image1")), QStringLiteral("Clock frame"));
    setName(view.control(QStringLiteral("Image3")), QStringLiteral("Card on offer frame"));
    nameTotal();
    // Named, so its text changing every second sends no event; it still
    // reads its time (see the clock's accessibility).
    setName(view.control(QStringLiteral("label_timer")), QStringLiteral("Time"));
    if (QWidget* table = view.control(QStringLiteral("Image2"))) {
        setName(table, QStringLiteral("Scoring table"));
        QStringList hands;
        for (int h = kPair; h <= kRoyalFlush; ++h)
            hands << QStringLiteral("%1 %2").arg(latin(handname(h))).arg(handpoints(h));
        table->setAccessibleDescription(
            hands.join(QStringLiteral(", ")) +
            QStringLiteral(". Time bonus: up to 30 seconds 50, 31 to 60 seconds 35, 61 to 90 "
                           "seconds 20."));
    }
    setName(view.control(QStringLiteral("edit_name")), QStringLiteral("Your name"));
    setName(view.control(QStringLiteral("edit_aname")), QStringLiteral("Your name"));
    for (const char* name : kResultPanels)
        if (QWidget* panel = view.control(QString::fromLatin1(name)))
            panel->installEventFilter(this);
    exposeBoard(board);
    connect(&view, &BoardView::tagChanged, this, &BoardSpeech::tagChanged);
    connect(&view, &BoardView::textChanged, this, &BoardSpeech::textChanged);
}

QString BoardSpeech::cardName(int code) {
    return QString::fromStdString(cardname(code));
}

QString BoardSpeech::cellName(int row, int column, int code) {
    const QString card = code ? QString::fromStdString(cardname(code)) : QStringLiteral("empty");
    return QStringLiteral("Row %1, column %2: %3").arg(row).arg(column).arg(card);
}

QString BoardSpeech::offerName(int code) {
    return code ? QStringLiteral("Card on offer: ") + QString::fromStdString(cardname(code))
                : QStringLiteral("No card on offer");
}

int BoardSpeech::cellCode(int row, int column) const {
    return tagOf(board_.control(QStringLiteral("image_card%1%2").arg(row).arg(column)));
}

void BoardSpeech::nameCell(int row, int column) {
    setName(board_.control(QStringLiteral("image_card%1%2").arg(row).arg(column)),
            cellName(row, column, cellCode(row, column)));
}

// A line is named for its hand once all five of its cells hold a card and
// the game has written its score; until then it has none.
void BoardSpeech::nameLine(int line) {
    auto* label = qobject_cast<QLabel*>(board_.control(QStringLiteral("label_line%1").arg(line)));
    if (!label) return;
    const bool row = line <= 5;
    const QString which =
        row ? QStringLiteral("Row %1").arg(line) : QStringLiteral("Column %1").arg(line - 5);
    int cards[5];
    bool full = !label->text().isEmpty();
    for (int i = 0; i < 5; ++i) {
        cards[i] = row ? cellCode(line, i + 1) : cellCode(i + 1, line - 5);
        full = full && cards[i] != 0;
    }
    if (!full) {
        setName(label, which + QStringLiteral(": not scored yet"));
        return;
    }
    const int hand = classifyhand(cards[0], cards[1], cards[2], cards[3], cards[4]);
    setName(label, QStringLiteral("%1: %2, %3 points")
                       .arg(which, latin(handname(hand)))
                       .arg(handpoints(hand)));
}

QString BoardSpeech::labelText(const char* control) const {
    auto* label = qobject_cast<QLabel*>(board_.control(QString::fromLatin1(control)));
    return label ? label->text() : QString();
}

void BoardSpeech::tagChanged(const QString& control) {
    QWidget* w = board_.control(control);
    const int code = tagOf(w);
    if (control == u"image_topcard") {
        setName(w, offerName(code));
        if (!placement_.isEmpty())
            pending_ << placement_ + (code ? QStringLiteral("; next: ") + cardName(code)
                                           : QStringLiteral("."));
        else if (code)
            pending_ << offerName(code);
        placement_.clear();
        flush_.start();
        return;
    }
    if (control == u"image_replace") {
        if (code != replacement_ && (code || replacement_))
            pending_ << (code ? QStringLiteral("Replacement available")
                              : QStringLiteral("Replacement used"));
        replacement_ = code;
        return;
    }
    if (const int address = cellAddress(w)) {
        const int row = address / 10, column = address % 10;
        nameCell(row, column);
        int& seen = seen_[static_cast<std::size_t>((row - 1) * 5 + column - 1)];
        if (code && seen)
            placement_ = QStringLiteral("%1 replaces %2 at row %3, column %4")
                             .arg(cardName(code), cardName(seen))
                             .arg(row)
                             .arg(column);
        else if (code)
            placement_ =
                QStringLiteral("%1 placed at row %2, column %3").arg(cardName(code)).arg(row).arg(column);
        seen = code;
    }
}

void BoardSpeech::textChanged(const QString& control) {
    static const QString linePrefix = QStringLiteral("label_line");
    if (control.startsWith(linePrefix)) nameLine(control.mid(linePrefix.size()).toInt());
    if (control == u"label_roundnum") {
        roundStarted_ = true;
        flush_.start();
    }
    if (control == u"label_timer") clockChanged();
    if (control == u"label_thisturn") nameTotal();
}

// The round's points stand under a TOTAL that is drawn, not written.
void BoardSpeech::nameTotal() {
    setName(board_.control(QStringLiteral("label_thisturn")),
            QStringLiteral("Total: ") + labelText("label_thisturn"));
}

// The clock is said only where the time bonus drops.
void BoardSpeech::clockChanged() {
    const QString text = labelText("label_timer");
    const int colon = static_cast<int>(text.lastIndexOf(u':'));
    const int space = static_cast<int>(text.indexOf(u' '));
    if (colon < 0 || space < 0) return;
    const int seconds = text.mid(space + 1, colon - space - 1).toInt() * 60 + text.mid(colon + 1).toInt();
    const int bonus = timebonusfor(seconds);
    if (seconds > 1 && bonus != bonus_)
        announce(QStringLiteral("%1, time bonus now %2").arg(text).arg(bonus));
    bonus_ = bonus;
}

QString BoardSpeech::status() const {
    QStringList parts{labelText("label_timer"), labelText("label_cardcount"), labelText("label_score"),
                      labelText("label_targetscore"),
                      tagOf(board_.control(QStringLiteral("image_replace")))
                          ? QStringLiteral("Replacement available")
                          : QStringLiteral("No replacement left")};
    const int offer = tagOf(board_.control(QStringLiteral("image_topcard")));
    if (offer) parts.prepend(offerName(offer));
    parts.removeAll(QString());
    return parts.join(QStringLiteral(". "));
}

void BoardSpeech::announce(const QString& text) {
    pending_ << text;
    flush_.start();
}

void BoardSpeech::flush() {
    if (roundStarted_)
        pending_.prepend(labelText("label_roundnum") + QStringLiteral(". ") +
                         labelText("label_targetscore"));
    roundStarted_ = false;
    if (!placement_.isEmpty()) pending_ << placement_;
    placement_.clear();
    if (pending_.isEmpty()) return;
    announcer_->say(pending_.join(QStringLiteral(". ")));
    pending_.clear();
}

// A result panel is a dialog, said as the focus enters it: its name, then
// its lines. Orca reads a dialog's labels of three words or more and skips
// the rest, so the title and the short lines ("Total: 95") make up the name;
// the description holds every line for other readers.
bool BoardSpeech::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) return false;
    flush();  // what led to the panel is said before it
    auto* panel = qobject_cast<QWidget*>(watched);
    QStringList lines;
    for (auto* label : panel->findChildren<QLabel*>())
        if (label->isVisibleTo(panel) && !label->text().trimmed().isEmpty())
            lines << label->text().trimmed();
    if (lines.isEmpty()) return false;
    QStringList name;
    for (const QString& line : lines)
        if (name.isEmpty() || line.split(u' ', Qt::SkipEmptyParts).size() < 3)
            name << (line.back().isPunct() ? line : line + u'.');
    panel->setAccessibleName(name.join(u' '));
    panel->setAccessibleDescription(lines.mid(1).join(u'\n'));
    return false;
}

}  // namespace quintelle::ui
