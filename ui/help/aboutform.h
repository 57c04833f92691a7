#pragma once
#include <QString>

#include "net/url.h"
#include "ui/main/secondarywindow.h"

class QLabel;
class TLbBackground;
class Tmain;

// The about window: emblem, title, the vendor's web address, the credits and
// the version. Its link also serves the logos of the other windows.
class Tabout : public quintelle::ui::SecondaryWindow {
    Q_OBJECT
  public:
    explicit Tabout(Tmain* main);

    const TURL& link() const { return URL1; }

    void Label7Click();
    void button_doneClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate(Tmain* main);

    TLbBackground* LbBackground1 = nullptr;
    QLabel* Label7 = nullptr;
    TURL URL1;
    bool linkPressed_ = false;
};
