#include "ui/tally/tallylistform.h"

#include <QDate>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <filesystem>

#include "platform/appdir.h"
#include "platform/dates.h"
#include "ui/art/art.h"
#include "ui/art/palette.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/LbBack.h"
#include "ui/controls/TFlatPanelUnit.h"
#include "ui/controls/tag.h"
#include "ui/main/application.h"
#include "ui/main/mainform.h"
#include "ui/main/widgets.h"

using namespace quintelle;
using namespace quintelle::ui;

namespace {

std::string today() {
    return platform::shortDate(QDate::currentDate()).toLocal8Bit().toStdString();
}

std::filesystem::path tallyFolder() {
    return std::filesystem::path(QFile::encodeName(platform::playerFilesFolder()).toStdString());
}

constexpr const char* kFamily = "MS Sans Serif";
const FontSpec kText{kFamily, 13, true};
const FontSpec kHeading{kFamily, 19, true, true};

constexpr QColor kWhite{255, 255, 255};
constexpr QColor kRed{255, 0, 0};

constexpr int kRowTop = 126;
constexpr int kRowStep = 24;
constexpr int kRowHeight = 16;
constexpr int kHighLeft = 286;

QString numbered(const char* prefix, int n) {
    return QString::fromLatin1(prefix) + QString::number(n);
}

QLabel* label(QWidget* parent, const QString& name, QRect geometry, const QString& text,
              const FontSpec& font = kText, Qt::Alignment alignment = Qt::AlignLeft) {
    QLabel* l = makeLabel(parent, name.toLatin1().constData(), geometry, text, font, palette::cream,
                          alignment);
    // Longer text is cut at the label's edge: no wrapping, no eliding, and
    // the label never grows with its text.
    l->setWordWrap(false);
    return l;
}

void applyRowStyle(QLabel* l, RowStyle rowStyle) {
    const bool bold = rowStyle != RowStyle::Normal;
    const QColor colour = rowStyle == RowStyle::LaidOut    ? palette::cream
                          : rowStyle == RowStyle::NewEntry ? kRed
                                                           : kWhite;
    if (l->font().bold() != bold) {
        QFont font = l->font();
        font.setBold(bold);
        l->setFont(font);
    }
    if (l->palette().color(QPalette::WindowText) != colour) {
        QPalette palette = l->palette();
        palette.setColor(QPalette::WindowText, colour);
        l->setPalette(palette);
    }
}

}  // namespace

Ttallylist::Ttallylist(Tmain* main) : Ttallylist(main, main ? main->backgroundTile() : QImage()) {}

Ttallylist::Ttallylist(QWidget* main, const QImage& tile)
    : SecondaryWindow(main), model_(&today), store_(tallyFolder()) {
    confirmReset = [this] { return askReset(); };
    build();
    model_.setOnChanged([this] { render(); });
    render();
    FormCreate(tile);
}

Ttallylist::~Ttallylist() {
    FormDestroy();
}

void Ttallylist::build() {
    dress(QStringLiteral("tallylist"), QStringLiteral("Quintelle - Tally List"), kClientSize);
    setAutoFillBackground(true);
    setFont(makeFont(FontSpec{kFamily, 13, false}));

    FlatPanel1 = new TFlatPanel(this);
    FlatPanel1->setObjectName(QStringLiteral("FlatPanel1"));
    FlatPanel1->setGeometry(6, 6, 331, 413);
    FlatPanel1->setTransparent(true);
    FlatPanel1->setColorHighLight(palette::boardFrame);
    FlatPanel1->setColorShadow(palette::boardFrame);
    QWidget* panel = FlatPanel1;

    label_myname = label(panel, QStringLiteral("label_myname"), QRect(1, 5, 328, 24),
                         QStringLiteral("YOUR TALLY LIST"), kHeading, Qt::AlignHCenter);
    label(panel, QStringLiteral("label_totalrounds"), QRect(88, 42, 101, 16),
          QStringLiteral("Total Rounds:"), kText, Qt::AlignRight);
    label(panel, QStringLiteral("label_roundscleared"), QRect(69, 59, 120, 16),
          QStringLiteral("Rounds Cleared:"), kText, Qt::AlignRight);
    label(panel, QStringLiteral("label_clearpercentage"), QRect(40, 77, 149, 16),
          QStringLiteral("Clear Percentage:"), kText, Qt::AlignRight);
    const int statisticTops[] = {42, 59, 77};
    for (int i = 1; i <= TallyModel::kStatistics; ++i)
        mylabel_[i - 1] =
            label(panel, numbered("mylabel_", i), QRect(194, statisticTops[i - 1], 59, 16),
                  QStringLiteral("0"), kText, Qt::AlignHCenter);
    label(panel, QStringLiteral("label_highscores"), QRect(1, 96, 328, 24),
          QStringLiteral("HIGH SCORES"), kHeading, Qt::AlignHCenter);

    for (int n = 1; n <= TallyModel::kPlaces; ++n) {
        const int top = kRowTop + kRowStep * (n - 1);
        label_num_[n - 1] = label(panel, numbered("label_num", n), QRect(5, top, 24, kRowHeight),
                                  QString::number(n) + u'.', kText, Qt::AlignRight);
        label_date_[n - 1] =
            label(panel, numbered("label_date", n), QRect(32, top, 101, kRowHeight), {});
        label_name_[n - 1] =
            label(panel, numbered("label_name", n), QRect(136, top, 132, kRowHeight), {});
        label_high_[n - 1] =
            label(panel, numbered("label_high", n), QRect(kHighLeft, top, 0, kRowHeight), {});
    }

    button_resettally =
        makePictureButton(panel, "button_resettally", QPoint(72, 376), art::ButtonWord::ResetTally);
    button_done = makePictureButton(panel, "button_done", QPoint(224, 376), art::ButtonWord::Done);
    connect(button_resettally, &ImageButton::clicked, this, &Ttallylist::button_resetClick);
    connect(button_done, &ImageButton::clicked, this, &Ttallylist::button_doneClick);
}

void Ttallylist::FormCreate(const QImage& tile) {
    LbBackground1 = coverWithTile(this, tile);
    // A tally that cannot be read is reported once; the game goes on with a
    // fresh one, and the store keeps the unreadable file aside at the save.
    guarded([this] { store_.load(model_); });
}

void Ttallylist::FormDestroy() {
    save();
}

void Ttallylist::save() {
    try {
        platform::createPlayerFilesFolder();
        store_.save(model_);
    } catch (...) {
        // The save reports nothing; the previous file stays as it was.
    }
}

void Ttallylist::render() {
    // A screen reader reads each figure with its caption, and each place as
    // one line, the newest entry marked as the red colour marks it.
    static const char* const kCaptions[] = {"Total Rounds:", "Rounds Cleared:", "Clear Percentage:"};
    for (int i = 1; i <= TallyModel::kStatistics; ++i) {
        const QString value = fromLocalBytes(model_.statistic(i));
        mylabel_[i - 1]->setText(value);
        mylabel_[i - 1]->setAccessibleName(QString::fromLatin1(kCaptions[i - 1]) + u' ' + value);
    }
    for (int n = 1; n <= TallyModel::kPlaces; ++n) {
        const TallyPlace& place = model_.place(n);
        QLabel* high = label_high_[n - 1];
        label_date_[n - 1]->setText(fromLocalBytes(place.date));
        label_name_[n - 1]->setText(fromLocalBytes(place.name));
        high->setText(fromLocalBytes(place.score));
        setTag(high, place.tag);
        for (QLabel* l : {label_num_[n - 1], label_date_[n - 1], label_name_[n - 1], high})
            applyRowStyle(l, place.style);
        label_num_[n - 1]->setAccessibleName(
            place.name.empty()
                ? QStringLiteral("%1. empty").arg(n)
                : QStringLiteral("%1. %2, %3, %4%5")
                      .arg(n)
                      .arg(fromLocalBytes(place.date), fromLocalBytes(place.name),
                           fromLocalBytes(place.score),
                           place.style == RowStyle::NewEntry ? QStringLiteral(", newest entry")
                                                             : QString()));
        // The score label's width follows its text (in its current font).
        high->resize(high->fontMetrics().horizontalAdvance(high->text()), kRowHeight);
    }
}

void Ttallylist::addtomineincrease(int index) {
    model_.addtomineincrease(index);
}

bool Ttallylist::checkscore(int score, const std::string& name) {
    return model_.checkscore(score, name);
}

// No is the default and Escape's answer, so no stray Enter wipes the tally;
// only Yes goes on: a box closed because the program is ending keeps it too.
bool Ttallylist::askReset() {
    return QMessageBox::question(this, QStringLiteral("Quintelle"),
                                 QStringLiteral("Are you sure you want to reset the Tally?"),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void Ttallylist::button_resetClick() {
    if (!(confirmReset ? confirmReset() : askReset())) return;
    model_.reset();
}

// Every showing starts on DONE: Enter closes the window, never opens the
// reset's question.
void Ttallylist::showEvent(QShowEvent* event) {
    SecondaryWindow::showEvent(event);
    button_done->setFocus(Qt::OtherFocusReason);
}

void Ttallylist::button_doneClick() {
    close();
}
