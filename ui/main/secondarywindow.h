#pragma once
#include <QWidget>

namespace quintelle::ui {

// A window of the program other than the main one: shown modelessly, hidden
// (never destroyed) by its close button, and centred over the main window the
// first time it is shown, then left where the player put it.
class SecondaryWindow : public QWidget {
  public:
    explicit SecondaryWindow(QWidget* mainWindow);

    void showOverMain();

  protected:
    QWidget* mainWindow() const { return mainWindow_; }

  private:
    QWidget* mainWindow_;
    bool placed_ = false;
};

}  // namespace quintelle::ui
