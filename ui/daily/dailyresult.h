#pragma once
// The end of a Daily Deal round on the board: the server's score, the place
// among the day's players and the expert's par, laid over the grid where the
// game-over panel lies; for a practice round, the score that counts.
#include <QStringList>

#include "data/dailyprotocol.h"
#include "ui/controls/TFlatPanelUnit.h"

class QLabel;
class ImageButton;

namespace quintelle::ui {

class DailyResultPanel : public TFlatPanel {
    Q_OBJECT
  public:
    static constexpr QSize kSize{329, 336};

    explicit DailyResultPanel(QWidget* board);

    // Fills the panel with `result` and shows it at `where`.
    void present(const daily::Result& result, QPoint where);

    // The lines the panel shows for a result, top to bottom.
    static QStringList lines(const daily::Result& result);

  signals:
    void listWanted();

  private:
    std::vector<QLabel*> lines_;
};

}  // namespace quintelle::ui
