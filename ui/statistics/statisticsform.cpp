#include "ui/statistics/statisticsform.h"

#include <QDateTime>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabBar>
#include <QVBoxLayout>
#include <chrono>
#include <map>

#include "data/atomicfile.h"
#include "game/names.h"
#include "ui/art/art.h"
#include "ui/art/palette.h"
#include "ui/statistics/charts.h"

namespace quintelle::ui {

// The best round's final grid, drawn with the game's cards, its line points
// beside the rows and under the columns.
class BestRoundGrid : public QWidget {
  public:
    static constexpr QSize kCard{38, 51};
    static constexpr int kGap = 3, kScoreWidth = 30;

    explicit BestRoundGrid(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("image_bestround"));
        setFixedSize(5 * (kCard.width() + kGap) + kScoreWidth, 5 * (kCard.height() + kGap) + 18);
    }
    void setRound(const PlayedRound* round) {
        round_ = round ? std::optional<PlayedRound>(*round) : std::nullopt;
        cards_.clear();
        QStringList rows;
        if (round_) {
            const Grid grid = finalGrid(*round_);
            for (const auto& row : grid) {
                QStringList names;
                for (int code : row) names << QString::fromStdString(cardname(code));
                rows << names.join(QStringLiteral(", "));
            }
        }
        setAccessibleName(QStringLiteral("Best round's grid"));
        setAccessibleDescription(rows.isEmpty() ? QStringLiteral("No rounds yet")
                                                : rows.join(QStringLiteral("; ")));
        update();
    }
    Grid grid() const { return round_ ? finalGrid(*round_) : Grid{}; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        // Drawn at the screen's density and scaled down smoothly.
        const qreal dpr = devicePixelRatioF();
        const Grid grid = this->grid();
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5; ++c) {
                const QRect at(c * (kCard.width() + kGap), r * (kCard.height() + kGap),
                               kCard.width(), kCard.height());
                const int code = grid[std::size_t(r)][std::size_t(c)];
                if (!code) {
                    p.setPen(QPen(palette::goldDark, 1));
                    p.setBrush(palette::feltDark);
                    p.drawRoundedRect(QRectF(at).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
                    continue;
                }
                auto it = cards_.find(code);
                if (it == cards_.end() || it->second.devicePixelRatio() != dpr)
                    it = cards_.insert_or_assign(code, art::card(code, dpr)).first;
                p.drawPixmap(at, it->second);
            }
        if (!round_) return;
        QFont font = this->font();
        font.setBold(true);
        p.setFont(font);
        p.setPen(palette::emphasis);
        for (int i = 0; i < 5; ++i) {
            p.drawText(QRect(5 * (kCard.width() + kGap), i * (kCard.height() + kGap), kScoreWidth,
                             kCard.height()),
                       Qt::AlignCenter, QString::number(round_->lines[std::size_t(i)]));
            p.drawText(
                QRect(i * (kCard.width() + kGap), 5 * (kCard.height() + kGap), kCard.width(), 16),
                Qt::AlignCenter, QString::number(round_->lines[std::size_t(5 + i)]));
        }
    }

  private:
    std::optional<PlayedRound> round_;
    std::map<int, QPixmap> cards_;
};

namespace {

std::int64_t systemSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

QString clock(double seconds) {
    const int s = static_cast<int>(seconds + 0.5);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString day(std::int64_t when) {
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(when).date(), QLocale::ShortFormat);
}

QString roundCount(int n) {
    return n == 1 ? QStringLiteral("1 round") : QStringLiteral("%1 rounds").arg(n);
}

QLabel* text(QWidget* parent, const QString& words, QColor colour, bool bold = false) {
    auto* l = new QLabel(words, parent);
    QPalette look = l->palette();
    look.setColor(QPalette::WindowText, colour);
    l->setPalette(look);
    QFont font = l->font();
    font.setBold(bold);
    l->setFont(font);
    return l;
}

}  // namespace

Tstatistics::Tstatistics(QWidget* mainWindow, HistoryStore& store, Clock now)
    : SecondaryWindow(mainWindow),
      store_(store),
      now_(now ? std::move(now) : Clock(systemSeconds)) {
    dress(QStringLiteral("statistics"), QStringLiteral("Statistics"), QSize(940, 660));
    setAccessibleName(QStringLiteral("Statistics"));
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    // Everything on one page, scrolled where the work area is smaller than it.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* page = new QWidget(scroll);
    page->setObjectName(QStringLiteral("page"));
    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->addWidget(scroll);
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(14, 10, 14, 12);
    period_ = new QTabBar(page);
    period_->setObjectName(QStringLiteral("tab_period"));
    period_->setAccessibleName(QStringLiteral("Period"));
    period_->addTab(QStringLiteral("Last 7 days"));
    period_->addTab(QStringLiteral("Last 30 days"));
    period_->addTab(QStringLiteral("All time"));
    period_->setCurrentIndex(AllTime);
    period_->setExpanding(false);
    connect(period_, &QTabBar::currentChanged, this, [this](int) { refresh(); });
    outer->addWidget(period_);

    auto* top = new QHBoxLayout;
    auto* figures = new QWidget(page);
    figureGrid_ = new QGridLayout(figures);
    figureGrid_->setContentsMargins(0, 4, 0, 0);
    figureGrid_->setVerticalSpacing(3);
    figureGrid_->setColumnMinimumWidth(1, 150);
    for (const auto& [name, caption] : std::initializer_list<std::pair<const char*, const char*>>{
             {"label_games", "Games played"},
             {"label_rounds", "Rounds played"},
             {"label_cleared", "Rounds cleared"},
             {"label_clearrate", "Clear rate"},
             {"label_bestgame", "Best game"},
             {"label_bestround", "Best round"},
             {"label_average", "Average round points"},
             {"label_streak", "Current clear streak"},
             {"label_longeststreak", "Longest clear streak"},
             {"label_roundtime", "Average time per round"},
             {"label_cardtime", "Average time per card"},
             {"label_bonus", "Time bonus earned"},
             {"label_hints", "Rounds with a hint"}})
        addFigure(name, QString::fromLatin1(caption));
    top->addWidget(figures, 0, Qt::AlignTop);

    auto* best = new QVBoxLayout;
    best->addWidget(text(page, QStringLiteral("Best round"), palette::emphasis, true));
    bestGrid_ = new BestRoundGrid(page);
    best->addWidget(bestGrid_);
    best->addStretch();
    top->addSpacing(12);
    top->addLayout(best);
    top->addSpacing(12);
    handsChart_ = new HandsChart(page);
    handsChart_->setMinimumSize(300, 270);
    top->addWidget(handsChart_, 1);
    outer->addLayout(top);

    expert_ = text(page, QString(), palette::emphasis, true);
    expert_->setObjectName(QStringLiteral("label_expert"));
    expertNote_ = text(page, QString(), palette::cream);
    expertNote_->setObjectName(QStringLiteral("label_expertnote"));
    expertNote_->setWordWrap(true);
    outer->addWidget(expert_);
    outer->addWidget(expertNote_);

    auto* charts = new QHBoxLayout;
    pointsChart_ = new PointsChart(page);
    pointsChart_->setMinimumSize(420, 170);
    spreadChart_ = new SpreadChart(page);
    spreadChart_->setMinimumSize(260, 170);
    charts->addWidget(pointsChart_, 3);
    charts->addWidget(spreadChart_, 2);
    outer->addLayout(charts, 1);

    auto* buttons = new QHBoxLayout;
    auto* exportButton = new QPushButton(QStringLiteral("&Export CSV..."), page);
    exportButton->setObjectName(QStringLiteral("button_export"));
    exportButton->setAccessibleName(QStringLiteral("Export the history as CSV"));
    auto* close = new QPushButton(QStringLiteral("Close"), page);
    close->setObjectName(QStringLiteral("button_close"));
    close->setDefault(true);
    buttons->addWidget(exportButton);
    buttons->addStretch();
    buttons->addWidget(close);
    outer->addLayout(buttons);
    connect(exportButton, &QPushButton::clicked, this, &Tstatistics::exportClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    scroll->setWidget(page);

    // The whole window within the desktop's work area.
    QSize size(940, 660);
    if (const QScreen* screen = mainWindow ? mainWindow->screen() : this->screen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
}

Tstatistics::~Tstatistics() = default;

void Tstatistics::addFigure(const char* name, const QString& caption) {
    const int row = figureGrid_->rowCount();
    QWidget* parent = figureGrid_->parentWidget();
    QLabel* label = text(parent, caption, palette::cream);
    QLabel* value = text(parent, QString(), palette::emphasis, true);
    value->setObjectName(QString::fromLatin1(name));
    value->setProperty("caption", caption);
    label->setBuddy(value);
    figureGrid_->addWidget(label, row, 0);
    figureGrid_->addWidget(value, row, 1);
}

void Tstatistics::showEvent(QShowEvent* event) {
    SecondaryWindow::showEvent(event);
    refresh();
}

void Tstatistics::showWithin() {
    showOverMain();
    // Wider than the main window, it may have been centred partly off the desktop.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        QRect frame = frameGeometry();
        // Before the window manager has framed it, the main window's frame
        // is the best estimate of this one's.
        if (frame == geometry() && mainWindow()) {
            const QWidget* main = mainWindow();
            frame = geometry().marginsAdded(
                QMargins(main->geometry().left() - main->frameGeometry().left(),
                         main->geometry().top() - main->frameGeometry().top(),
                         main->frameGeometry().right() - main->geometry().right(),
                         main->frameGeometry().bottom() - main->geometry().bottom()));
        }
        const QPoint frameTopLeft = frame.topLeft();
        frame.moveLeft(std::clamp(frame.left(), area.left(),
                                  std::max(area.left(), area.right() - frame.width() + 1)));
        frame.moveTop(std::clamp(frame.top(), area.top(),
                                 std::max(area.top(), area.bottom() - frame.height() + 1)));
        // The client's rectangle: what a window's position means before it is
        // framed differs between window systems.
        setGeometry(QRect(frame.topLeft() + (geometry().topLeft() - frameTopLeft), size()));
    }
}

void Tstatistics::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        SecondaryWindow::keyPressEvent(event);
}

void Tstatistics::setPeriod(Period period) {
    period_->setCurrentIndex(period);
    refresh();
}

void Tstatistics::refresh() {
    std::span<const RoundRecord> rounds = store_.rounds();
    const int days = period_->currentIndex() == LastWeek    ? 7
                     : period_->currentIndex() == LastMonth ? 30
                                                            : 0;
    if (days) rounds = roundsSince(rounds, now_() - std::int64_t{days} * 86400);
    figures_ = figuresOf(rounds);
    display(figures_, rounds);
}

void Tstatistics::display(const HistoryFigures& f, std::span<const RoundRecord> rounds) {
    const auto set = [this](const char* name, const QString& value) {
        auto* label = findChild<QLabel*>(QString::fromLatin1(name));
        label->setText(value);
        // A screen reader reads the caption with the figure.
        label->setAccessibleName(label->property("caption").toString() + QStringLiteral(": ") +
                                 value);
    };
    const bool any = f.rounds > 0;
    const QString none = QStringLiteral("-");
    set("label_games", QString::number(f.games));
    set("label_rounds", QString::number(f.rounds));
    set("label_cleared", QString::number(f.cleared));
    set("label_clearrate", any ? QStringLiteral("%1%").arg(f.clearRate, 0, 'f', 1) : none);
    set("label_bestgame",
        f.bestGame ? QStringLiteral("%1 points (game %2)").arg(f.bestGamePoints).arg(f.bestGame)
                   : none);
    const RoundRecord* best = f.bestRound ? &rounds[*f.bestRound] : nullptr;
    set("label_bestround",
        best ? QStringLiteral("%1 points, %2").arg(best->round.points).arg(day(best->when)) : none);
    set("label_average", any ? QString::number(f.averagePoints, 'f', 1) : none);
    set("label_streak", roundCount(f.currentStreak));
    set("label_longeststreak", roundCount(f.longestStreak));
    set("label_roundtime", any ? clock(f.secondsPerRound) : none);
    set("label_cardtime", any ? QStringLiteral("%1 s").arg(f.secondsPerCard, 0, 'f', 1) : none);
    set("label_bonus", QStringLiteral("%1 points").arg(f.bonus));
    set("label_hints", any ? QStringLiteral("%1 of %2 (%3%)")
                                 .arg(f.hinted)
                                 .arg(f.rounds)
                                 .arg(100.0 * f.hinted / f.rounds, 0, 'f', 1)
                           : none);

    if (f.expertRounds > 0 && f.expertPoints > 0) {
        const double share = 100.0 * double(f.playerPoints) / double(f.expertPoints);
        expert_->setText(
            QStringLiteral("Your rounds averaged %1% of the expert's on the same cards.")
                .arg(share, 0, 'f', 0));
        expertNote_->setText(
            QStringLiteral("The expert is the game's own coach, playing the cards that came to you "
                           "in the same order, with a hint's thinking time for each card "
                           "(compared on %1 of these %2).")
                .arg(f.expertRounds)
                .arg(roundCount(f.rounds)));
    } else {
        expert_->setText(QStringLiteral("No round compared with the expert yet."));
        expertNote_->setText(
            QStringLiteral("After each round the game's own coach plays the same cards again, "
                           "in the background, so you can see how your play compares."));
    }
    expert_->setAccessibleName(expert_->text());
    bestGrid_->setRound(best ? &best->round : nullptr);
    std::vector<int> points;
    points.reserve(rounds.size());
    for (const RoundRecord& r : rounds) points.push_back(r.round.points);
    spreadChart_->setPoints(points);
    pointsChart_->setPoints(std::move(points));
    handsChart_->setHands(f.hands);
}

bool Tstatistics::exportTo(const QString& path) {
    return writeFileAtomically(std::filesystem::path(QFile::encodeName(path).toStdString()),
                               historyCsv(store_.rounds()));
}

void Tstatistics::exportClick() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Export the round history"),
                                     QDir::home().filePath(QStringLiteral("quintelle-rounds.csv")),
                                     QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    if (!exportTo(path))
        QMessageBox::warning(this, QStringLiteral("Statistics"),
                             QStringLiteral("The history could not be written to %1.").arg(path));
}

}  // namespace quintelle::ui
