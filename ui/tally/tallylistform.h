#pragma once
// The tally list window (unit tallylistform): the player's tally shown as
// three statistics and a local top ten, with RESET TALLY and DONE. It owns
// the tally (data/tally.h) and its file (data/tallystore.h): the creation
// loads the file, the destruction writes it back. The game reaches it as its
// TallySink; every change of the model re-renders the labels at once, so the
// window is current whether it is shown or hidden.
#include <QImage>
#include <array>
#include <functional>
#include <string>

#include "data/tally.h"
#include "data/tallystore.h"
#include "game/ports.h"
#include "ui/main/secondarywindow.h"

class QLabel;
class ImageButton;
class TFlatPanel;
class TLbBackground;
class Tmain;

class Ttallylist : public quintelle::ui::SecondaryWindow, public quintelle::TallySink {
    Q_OBJECT
  public:
    static constexpr QSize kClientSize{342, 425};

    // Takes the main window's tile (Tmain::backgroundTile()).
    explicit Ttallylist(Tmain* main);
    // The same without a Tmain: `main` is the window this one is centred
    // over, `tile` the shared background tile.
    Ttallylist(QWidget* main, const QImage& tile);
    ~Ttallylist() override;

    // TallySink: the game's calls, forwarded to the model.
    void addtomineincrease(int index) override;
    bool checkscore(int score, const std::string& name) override;

    quintelle::TallyModel& model() { return model_; }
    const quintelle::TallyModel& model() const { return model_; }
    const quintelle::TallyStore& store() const { return store_; }

    // Writes the tally file; a failure leaves the previous file as it was.
    void save();

    // Handlers.
    void button_resetClick();
    void button_doneClick();

    // Asks whether to reset; true goes on. The default is the toolkit's Yes/No
    // box, where only Yes goes on. Tests replace it.
    std::function<bool()> confirmReset;

    // The default question box.
    bool askReset();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FormCreate(const QImage& tile);
    void FormDestroy();
    void build();
    // Shows the model in the labels: captions, tags and row styles.
    void render();

    quintelle::TallyModel model_;
    quintelle::TallyStore store_;

    TLbBackground* LbBackground1 = nullptr;
    TFlatPanel* FlatPanel1 = nullptr;
    QLabel* label_myname = nullptr;
    std::array<QLabel*, quintelle::TallyModel::kStatistics> mylabel_{};
    std::array<QLabel*, quintelle::TallyModel::kPlaces> label_num_{};
    std::array<QLabel*, quintelle::TallyModel::kPlaces> label_date_{};
    std::array<QLabel*, quintelle::TallyModel::kPlaces> label_name_{};
    std::array<QLabel*, quintelle::TallyModel::kPlaces> label_high_{};
    ImageButton* button_resettally = nullptr;
    ImageButton* button_done = nullptr;
};
