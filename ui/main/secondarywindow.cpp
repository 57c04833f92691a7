#include "ui/main/secondarywindow.h"

namespace quintelle::ui {

SecondaryWindow::SecondaryWindow(QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window), mainWindow_(mainWindow) {
    // Closing it only hides it; the program ends with the main window alone.
    setAttribute(Qt::WA_QuitOnClose, false);
}

void SecondaryWindow::showOverMain() {
    if (!placed_ && mainWindow_) {
        // Before its first showing a window's frame is unknown; the main
        // window's decorations are the best estimate of what it will get.
        const QSize decorations = mainWindow_->frameGeometry().size() - mainWindow_->size();
        QRect frame(QPoint(), size() + decorations);
        frame.moveCenter(mainWindow_->frameGeometry().center());
        move(frame.topLeft());
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

}  // namespace quintelle::ui
