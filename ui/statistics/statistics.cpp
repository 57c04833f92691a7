#include "ui/statistics/statistics.h"

#include <QAction>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>

#include "game/controller.h"
#include "platform/appdir.h"
#include "ui/main/coach.h"
#include "ui/statistics/expertplay.h"
#include "ui/statistics/statisticsform.h"

namespace quintelle::ui {
namespace {

Budget expertBudget{0, Coach::kBudgetMilliseconds, 1};

}  // namespace

void Statistics::setExpertBudget(const Budget& budget) {
    expertBudget = budget;
}

Statistics::Statistics(QMainWindow* main, GameController& game)
    : QObject(main), main_(main), expert_(std::make_unique<ExpertPlay>(expertBudget, nullptr)) {
    auto* view = main->findChild<QMenu*>(QStringLiteral("View1"));
    Statistics1 = view->addAction(QStringLiteral("Statistics"));
    Statistics1->setObjectName(QStringLiteral("Statistics1"));
    Statistics1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    Statistics1->setShortcutContext(Qt::ApplicationShortcut);
    connect(Statistics1, &QAction::triggered, this, &Statistics::StatisticsClick);
    if (auto* hint = main->findChild<QAction*>(QStringLiteral("Hint1")))
        connect(hint, &QAction::triggered, this, [&game] { game.hintAsked(); });
    connect(expert_.get(), &ExpertPlay::played, this, &Statistics::expertPlayed);
    game.setRoundSink(this);
}

Statistics::~Statistics() = default;

HistoryStore& Statistics::store() {
    if (!store_) {
        const auto folder =
            std::filesystem::path(QFile::encodeName(platform::playerFilesFolder()).toStdString());
        store_ = std::make_unique<HistoryStore>(folder / "history");
        // Rounds of a session that ended before the expert had played them.
        for (const auto& [id, round] : store_->unplayedByExpert()) expert_->play(id, round);
    }
    return *store_;
}

void Statistics::roundPlayed(const PlayedRound& round) {
    const HistoryStore::Appended stored = store().append(round);
    reportProblems();
    expert_->play(stored.id, round);
    if (window_ && window_->isVisible()) window_->refresh();
}

void Statistics::expertPlayed(std::uint64_t id, int points) {
    store().setExpert(id, points);
    if (window_ && window_->isVisible()) window_->refresh();
}

void Statistics::StatisticsClick() {
    if (!window_) window_ = std::make_unique<Tstatistics>(main_, store());
    window_->showWithin();
    reportProblems();
}

void Statistics::reportProblems() {
    const auto problems = store().takeProblems();
    if (problems.empty()) return;
    QStringList lines;
    for (const auto& p : problems) lines << QString::fromLocal8Bit(p.data(), int(p.size()));
    // Told, not asked: the game goes on behind it.
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Statistics"),
                                lines.join(QLatin1Char('\n')), QMessageBox::Ok, main_);
    box->setObjectName(QStringLiteral("history_problem"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

}  // namespace quintelle::ui
