#include "ui/main/secondarywindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QScreen>
#include <QShortcut>
#include <QScrollArea>
#include <algorithm>

#include "platform/workarea.h"
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
        const QScreen* screen = mainWindow_->screen();
        const QRect work = platform::workArea(screen);
        if (!work.isEmpty()) fitInside(work.size() - decorations);
        QRect frame(QPoint(), size() + decorations);
        frame.moveCenter(placement_ == Placement::DesktopCentre
                             ? work.center()
                             : mainWindow_->frameGeometry().center());
        // Centred on the main window, but wholly on the screen.
        if (!work.isEmpty()) {
            frame.moveLeft(std::clamp(frame.left(), work.left(), work.right() + 1 - frame.width()));
            frame.moveTop(std::clamp(frame.top(), work.top(), work.bottom() + 1 - frame.height()));
        }
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

// A window larger than the room its screen has keeps its layout, shown
// through a scrolled view as large as the room allows.
void SecondaryWindow::fitInside(QSize room) {
    const QSize whole = size();
    if (whole.width() <= room.width() && whole.height() <= room.height()) return;
    auto* content = new QWidget;
    content->setObjectName(objectName() + QStringLiteral("_content"));
    content->setFixedSize(whole);
    content->setAutoFillBackground(true);
    content->setPalette(palette());
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) continue;
        const bool hidden = child->isHidden();
        child->setParent(content);
        child->setVisible(!hidden);
    }
    auto* view = new QScrollArea(this);
    view->setObjectName(objectName() + QStringLiteral("_view"));
    view->setFrameShape(QFrame::NoFrame);
    view->setWidget(content);
    setFixedSize(whole.boundedTo(room));
    view->setGeometry(rect());
}

}  // namespace quintelle::ui
