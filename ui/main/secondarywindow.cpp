#include "ui/main/secondarywindow.h"

namespace quintelle::ui {

SecondaryWindow::SecondaryWindow(QWidget* mainWindow) : QWidget(nullptr, Qt::Window), mainWindow_(mainWindow) {}

void SecondaryWindow::showOverMain() {
    if (!placed_ && mainWindow_) {
        QRect frame = frameGeometry();
        frame.moveCenter(mainWindow_->frameGeometry().center());
        move(frame.topLeft());
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

}  // namespace quintelle::ui
