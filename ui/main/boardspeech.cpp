#include "ui/main/boardspeech.h"

#include <QAccessible>
#include <QLabel>

#include "game/PokerHand.h"
#include "game/names.h"
#include "game/scoring.h"
#include "ui/controls/tag.h"
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

    // A label only a screen reader sees: the place where alerts are said.
    announcer_ = new QLabel(board);
    announcer_->setObjectName(QStringLiteral("label_announce"));
    announcer_->setGeometry(0, 0, 1, 1);
    announcer_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette unseen = announcer_->palette();
    unseen.setColor(QPalette::WindowText, Qt::transparent);
    announcer_->setPalette(unseen);
    announcer_->lower();

    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) nameCell(r, c);
    for (int n = 1; n <= 10; ++n) nameLine(n);
    tagChanged(QStringLiteral("image_topcard"));
    setName(view.control(QStringLiteral("image_replace")), QStringLiteral("Replacement available"));
    setName(view.control(QStringLiteral("image_logo")),
            QStringLiteral("Orvanta Software web site"));
    setName(view.control(QStringLiteral("image_timer")), QStringLiteral("Round clock"));
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
    connect(&view, &BoardView::tagChanged, this, &BoardSpeech::tagChanged);
    connect(&view, &BoardView::textChanged, this, &BoardSpeech::textChanged);
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

void BoardSpeech::tagChanged(const QString& control) {
    if (control == u"image_topcard") {
        setName(board_.control(control), offerName(tagOf(board_.control(control))));
        return;
    }
    static const QString cellPrefix = QStringLiteral("image_card");
    if (control.startsWith(cellPrefix) && control.size() == cellPrefix.size() + 2)
        nameCell(control.at(cellPrefix.size()).digitValue(),
                 control.at(cellPrefix.size() + 1).digitValue());
}

void BoardSpeech::textChanged(const QString& control) {
    static const QString linePrefix = QStringLiteral("label_line");
    if (control.startsWith(linePrefix)) nameLine(control.mid(linePrefix.size()).toInt());
}

void BoardSpeech::announce(const QString& text) {
    announcer_->setText(text);
    announcer_->setAccessibleName(text);
    QAccessibleEvent alert(announcer_, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

// A result panel is said as it appears: its title, then its lines, each as
// it stands at that moment.
bool BoardSpeech::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) return false;
    auto* panel = qobject_cast<QWidget*>(watched);
    QStringList lines;
    for (auto* label : panel->findChildren<QLabel*>())
        if (label->isVisibleTo(panel) && !label->text().isEmpty()) lines << label->text();
    if (lines.isEmpty()) return false;
    panel->setAccessibleName(lines.front());
    panel->setAccessibleDescription(lines.mid(1).join(u'\n'));
    announce(lines.join(u'\n'));
    return false;
}

}  // namespace quintelle::ui
