#include "ui/daily/dailyresult.h"

#include <QLabel>

#include "ui/art/palette.h"
#include "ui/controls/ImageButton.h"
#include "ui/main/keptart.h"
#include "ui/main/widgets.h"

namespace quintelle::ui {

namespace {
const FontSpec kTitle{"Arial", 19, true};
const FontSpec kLine{"Arial", 15, true};
constexpr int kLines = 5;
}  // namespace

DailyResultPanel::DailyResultPanel(QWidget* board) : TFlatPanel(board) {
    setObjectName(QStringLiteral("panel_daily"));
    setColorHighLight(palette::popupFrame);
    setColorShadow(palette::popupFrame);
    setColor(palette::wood);
    resize(kSize);
    makePicture(
        this, "image_dailyback", QRect(QPoint(), kSize),
        [](qreal dpr) { return kept::panelBackground(kSize, dpr); }, true);
    makeLabel(this, "label_dailytitle", QRect(2, 10, 325, 26), QStringLiteral("Daily Deal"), kTitle,
              palette::cream, Qt::AlignHCenter);
    for (int i = 0; i < kLines; ++i) {
        const QByteArray name = "label_daily" + QByteArray::number(i + 1);
        lines_.push_back(makeLabel(this, name.constData(), QRect(6, 48 + 36 * i, 317, 28), {},
                                   kLine, palette::cream, Qt::AlignHCenter));
    }
    ImageButton* list =
        makePictureButton(this, "button_dailylist", QPoint(26, 245), art::ButtonWord::HighScores);
    ImageButton* done =
        makePictureButton(this, "button_dailydone", QPoint(171, 245), art::ButtonWord::Done);
    connect(list, &ImageButton::clicked, this, &DailyResultPanel::listWanted);
    connect(done, &ImageButton::clicked, this, &QWidget::hide);
    hide();
}

QStringList DailyResultPanel::lines(const daily::Result& r) {
    QStringList out;
    out << QStringLiteral("The deal of %1").arg(QString::fromStdString(r.day));
    const QString par = r.par ? QString::number(*r.par) : QStringLiteral("still playing");
    // The place and the comparison are always the counted round's.
    int counted = r.score;
    if (r.ranked) {
        out << QStringLiteral("Points %1 + time bonus %2 = %3").arg(r.points).arg(r.bonus).arg(r.score);
    } else {
        counted = r.counted.value_or(0);
        out << QStringLiteral("Practice: %1 + %2 = %3").arg(r.points).arg(r.bonus).arg(r.score);
        out << QStringLiteral("Your counted score today: %1").arg(counted);
    }
    out << QStringLiteral("Rank %1 of %2").arg(r.rank).arg(r.players);
    out << QStringLiteral("You %1, expert %2").arg(counted).arg(par);
    return out;
}

void DailyResultPanel::present(const daily::Result& result, QPoint where) {
    const QStringList text = lines(result);
    for (std::size_t i = 0; i < lines_.size(); ++i)
        lines_[i]->setText(i < std::size_t(text.size()) ? text[qsizetype(i)] : QString());
    setAccessibleName(text.join(QStringLiteral(". ")));
    move(where);
    show();
    raise();
}

}  // namespace quintelle::ui
