#pragma once
#include "ui/main/secondarywindow.h"

class QLabel;
class TLbBackground;
class TSelButton;
class Tabout;
class Tmain;

// The help window: a column of page buttons on the left, the chosen page
// under its heading on the right. The page in front stays in front while the
// window is hidden and shown again.
class Thelp : public quintelle::ui::SecondaryWindow {
    Q_OBJECT
  public:
    Thelp(Tmain* main, Tabout* about);

    // Shared by the four page buttons: the sender's tag names its page.
    void SelButton1Click(TSelButton* sender);
    void button_aboutClick();
    void button_doneClick();

  private:
    void FormCreate(Tmain* main);
    void buildSide();
    void buildPages();
    void showPage(QWidget* page);

    Tabout* about_;
    TLbBackground* LbBackground1 = nullptr;
    QLabel* label_caption = nullptr;
    QLabel* label_year = nullptr;
};
