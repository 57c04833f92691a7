#pragma once
#include <QWidget>

namespace quintelle::ui {

// A window of the program other than the main one: shown modelessly, hidden
// (never destroyed) by its close button, and centred over the main window (or
// on the desktop) the first time it is shown, then left where the player put
// it. It never opens larger than its screen's work area, nor off it.
class SecondaryWindow : public QWidget {
  public:
    enum class Placement { OverMain, DesktopCentre };
    explicit SecondaryWindow(QWidget* mainWindow, Placement placement = Placement::OverMain);

    void showOverMain();

  protected:
    QWidget* mainWindow() const { return mainWindow_; }
    // What every secondary window starts with: its object name, title and
    // fixed client size, on the wood colour.
    void dress(const QString& objectName, const QString& title, QSize client);

  private:
    void fitInside(QSize room);

    QWidget* mainWindow_;
    Placement placement_;
    bool placed_ = false;
};

}  // namespace quintelle::ui
