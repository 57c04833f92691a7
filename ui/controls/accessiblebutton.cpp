#include "ui/controls/accessiblebutton.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "ui/controls/ButtonComps.h"
#include "ui/controls/ImageButton.h"

namespace {

class ButtonAccessible : public QAccessibleWidget {
  public:
    explicit ButtonAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        // A flat button without a name of its own is called by its caption.
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            if (auto* sel = qobject_cast<TSelButton*>(widget())) return sel->caption();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action != pressAction()) return QAccessibleWidget::doAction(action);
        if (auto* image = qobject_cast<ImageButton*>(widget()))
            image->click();
        else if (auto* sel = qobject_cast<TSelButton*>(widget()))
            sel->click();
    }
};

QAccessibleInterface* buttonFactory(const QString& key, QObject* object) {
    if ((key == u"ImageButton" || key == u"TSelButton") && object->isWidgetType())
        return new ButtonAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

void registerButtonAccessibility() {
    static const bool once = [] {
        QAccessible::installFactory(buttonFactory);
        return true;
    }();
    (void)once;
}
