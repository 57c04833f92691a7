#include "ui/main/secondarywindow.h"

#include <QScreen>

#include "ui/art/palette.h"

namespace quintelle::ui {

SecondaryWindow::SecondaryWindow(QWidget* mainWindow, Placement placement)
    : QWidget(nullptr, Qt::Window), mainWindow_(mainWindow), placement_(placement) {
    // Closing it only hides it; the program ends with the main window alone.
    setAttribute(Qt::WA_QuitOnClose, false);
}

void SecondaryWindow::dress(const QString& objectName, const QString& title, QSize client) {
    setObjectName(objectName);
    setWindowTitle(title);
    setFixedSize(client);
    QPalette look = this->palette();
    look.setColor(QPalette::Window, palette::wood);
    setPalette(look);
}

void SecondaryWindow::showOverMain() {
    if (!placed_ && mainWindow_) {
        // Before its first showing a window's frame is unknown; the main
        // window's decorations are the best estimate of what it will get.
        const QSize decorations = mainWindow_->frameGeometry().size() - mainWindow_->size();
        QRect frame(QPoint(), size() + decorations);
        const QScreen* screen = mainWindow_->screen();
        frame.moveCenter(placement_ == Placement::DesktopCentre && screen
                             ? screen->availableGeometry().center()
                             : mainWindow_->frameGeometry().center());
        move(frame.topLeft());
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

}  // namespace quintelle::ui
