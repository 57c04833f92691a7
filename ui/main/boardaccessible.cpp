#include "ui/main/boardaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include "ui/main/widgets.h"

namespace quintelle::ui {

namespace {

constexpr int kSide = 5;
// Long enough for a screen reader to ask for the text after the event.
constexpr int kExpiryMs = 5000;

QWidget* cellOf(QWidget* board, int row, int column) {
    return board ? board->findChild<QWidget*>(QStringLiteral("image_card%1%2").arg(row).arg(column))
                 : nullptr;
}

bool isResultPanel(const QString& name) {
    return name == u"panel_continue" || name == u"panel_cleared" || name == u"panel_name";
}

// Marks the interfaces made here, to tell them from a plain one made earlier.
struct BoardPart {
    virtual ~BoardPart() = default;
};

class NotificationInterface : public QAccessibleWidget, public BoardPart {
  public:
    explicit NotificationInterface(QLabel* label)
        : QAccessibleWidget(label, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<QLabel*>(widget())->text() : QString();
    }
};

// The round clock reads its time when asked, but is not announced as it
// ticks: a label with a name of its own sends no change as its text changes.
class ClockInterface : public QAccessibleWidget, public BoardPart {
  public:
    explicit ClockInterface(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<QLabel*>(widget())->text() : QString();
    }
};

// A result panel is a dialog within the window; it reports the window's
// active state, without which a screen reader ignores the focus inside it.
class DialogInterface : public QAccessibleWidget, public BoardPart {
  public:
    explicit DialogInterface(QWidget* panel) : QAccessibleWidget(panel, QAccessible::Dialog) {}
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.active = widget()->isVisible() && widget()->window()->isActiveWindow();
        s.modal = true;
        return s;
    }
};

// The grid: a table with no widget of its own, standing between the board
// and its cells.
class GridInterface : public QAccessibleInterface, public QAccessibleTableInterface {
  public:
    explicit GridInterface(QWidget* board) : board_(board) {}

    bool isValid() const override { return board_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return board_ ? board_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(board_);
    }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= kSide * kSide) return nullptr;
        return cellAt(index / kSide, index % kSide);
    }
    int childCount() const override { return board_ ? kSide * kSide : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const int a = child ? cellAddress(child->object()) : 0;
        return a ? (a / 10 - 1) * kSide + a % 10 - 1 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* c = child(i); c && c->rect().contains(x, y)) return c;
        return nullptr;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? QStringLiteral("Grid") : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        QRect r;
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* c = child(i)) r |= c->rect();
        return r;
    }
    QAccessible::Role role() const override { return QAccessible::Table; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invisible = !board_ || !board_->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this)
                                                : nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        return QAccessible::queryAccessibleInterface(cellOf(board_, row + 1, column + 1));
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override {
        return QStringLiteral("Column %1").arg(column + 1);
    }
    QString rowDescription(int row) const override { return QStringLiteral("Row %1").arg(row + 1); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return kSide; }
    int rowCount() const override { return kSide; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

  private:
    QPointer<QWidget> board_;
};

// The board shows the grid in place of its 25 cells.
class BoardInterface : public QAccessibleWidget, public BoardPart {
  public:
    explicit BoardInterface(QWidget* board) : QAccessibleWidget(board, QAccessible::Pane) {
        grid_ = QAccessible::registerAccessibleInterface(new GridInterface(board));
    }
    ~BoardInterface() override { QAccessible::deleteAccessibleInterface(grid_); }

    int childCount() const override { return static_cast<int>(children().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto list = children();
        return index >= 0 && index < list.size() ? list[index] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return static_cast<int>(children().indexOf(const_cast<QAccessibleInterface*>(child)));
    }

  private:
    QList<QAccessibleInterface*> children() const {
        QList<QAccessibleInterface*> list{QAccessible::accessibleInterface(grid_)};
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i)
            if (QAccessibleInterface* c = QAccessibleWidget::child(i); !cellAddress(c->object()))
                list << c;
        return list;
    }
    QAccessible::Id grid_;
};

class CellInterface : public QAccessibleWidget,
                      public QAccessibleTableCellInterface,
                      public BoardPart {
  public:
    explicit CellInterface(QWidget* cell) : QAccessibleWidget(cell, QAccessible::Cell) {}

    QAccessibleInterface* parent() const override { return table(); }
    // The keyboard cursor gives a cell the focus; a click does not.
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    // Pressing a cell lays the card on offer there, as a click does.
    void doAction(const QString& action) override {
        if (action != pressAction()) return QAccessibleWidget::doAction(action);
        if (auto* picture = qobject_cast<Picture*>(widget())) {
            picture->setFocus(Qt::OtherFocusReason);
            emit picture->clicked(picture);
        }
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return cellAddress(widget()) % 10 - 1; }
    int rowIndex() const override { return cellAddress(widget()) / 10 - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override {
        QAccessibleInterface* board = QAccessible::queryAccessibleInterface(widget()->parentWidget());
        return board ? board->child(0) : nullptr;
    }
};

// What a widget is to assistive technology, by its type and name.
QAccessible::Role roleOf(QWidget* w) {
    if (dynamic_cast<Announcer*>(w)) return QAccessible::Notification;
    if (cellAddress(w)) return QAccessible::Cell;
    const QString name = w->objectName();
    if (name == u"panel_board1") return QAccessible::Pane;
    if (name == u"label_timer" && qobject_cast<QLabel*>(w)) return QAccessible::StaticText;
    if (isResultPanel(name)) return QAccessible::Dialog;
    return QAccessible::NoRole;
}

QAccessibleInterface* boardFactory(const QString&, QObject* object) {
    if (!object->isWidgetType()) return nullptr;
    auto* w = static_cast<QWidget*>(object);
    switch (roleOf(w)) {
        case QAccessible::Notification: return new NotificationInterface(static_cast<QLabel*>(w));
        case QAccessible::Cell: return new CellInterface(w);
        case QAccessible::Pane: return new BoardInterface(w);
        case QAccessible::StaticText: return new ClockInterface(static_cast<QLabel*>(w));
        case QAccessible::Dialog: return new DialogInterface(w);
        default: return nullptr;
    }
}

}  // namespace

Announcer::Announcer(QWidget* board) : QLabel(board) {
    setObjectName(QStringLiteral("label_announce"));
    setGeometry(0, 0, 1, 1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette unseen = palette();
    unseen.setColor(QPalette::WindowText, Qt::transparent);
    setPalette(unseen);
    lower();
    hide();
    expiry_.setSingleShot(true);
    expiry_.setInterval(kExpiryMs);
    connect(&expiry_, &QTimer::timeout, this, [this] {
        hide();
        clear();
    });
}

void Announcer::say(const QString& text) {
    // Shown anew for every message: the showing is what is spoken.
    hide();
    setText(text);
    show();
    expiry_.start();
}

int cellAddress(const QObject* object) {
    if (!object) return 0;
    const QString name = object->objectName();
    static const QString prefix = QStringLiteral("image_card");
    if (name.size() != prefix.size() + 2 || !name.startsWith(prefix)) return 0;
    const int row = name.at(prefix.size()).digitValue();
    const int column = name.at(prefix.size() + 1).digitValue();
    return row >= 1 && row <= kSide && column >= 1 && column <= kSide ? row * 10 + column : 0;
}

void exposeBoard(QWidget* board) {
    static const bool once = [] {
        QAccessible::installFactory(boardFactory);
        return true;
    }();
    (void)once;
    // An interface made while a widget was being built or before it was
    // named is the plain one; made again, it is the board's.
    QList<QWidget*> widgets = board->findChildren<QWidget*>();
    widgets << board;
    for (QWidget* w : widgets) {
        if (roleOf(w) == QAccessible::NoRole) continue;
        if (QAccessibleInterface* cached = QAccessible::queryAccessibleInterface(w);
            cached && !dynamic_cast<BoardPart*>(cached))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cached));
    }
}

}  // namespace quintelle::ui
