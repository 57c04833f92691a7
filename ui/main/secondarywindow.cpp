#include "ui/main/secondarywindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QScreen>
#include <QShortcut>

#include "ui/art/palette.h"

namespace quintelle::ui {

namespace {

// Assistive technology sees each of these windows as a dialog: a screen
// reader says its title and its texts as it opens.
QAccessibleInterface* dialogFactory(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<SecondaryWindow*>(object))
        return new QAccessibleWidget(window, QAccessible::Dialog);
    return nullptr;
}

}  // namespace

SecondaryWindow::SecondaryWindow(QWidget* mainWindow, Placement placement)
    : QWidget(nullptr, Qt::Window), mainWindow_(mainWindow), placement_(placement) {
    // Closing it only hides it; the program ends with the main window alone.
    setAttribute(Qt::WA_QuitOnClose, false);
    static const bool once = [] {
        QAccessible::installFactory(dialogFactory);
        return true;
    }();
    (void)once;
    // Escape closes it, as it closes a dialog.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
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
    // An interface made while the window was being built is the plain one.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(this);
        made && made->role() != QAccessible::Dialog)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    show();
    raise();
    activateWindow();
}

}  // namespace quintelle::ui
