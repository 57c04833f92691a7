#include "ui/main/application.h"

#include <QFont>
#include <QIcon>
#include <QIconEngine>
#include <QMessageBox>
#include <QProxyStyle>
#include <exception>
#include <functional>
#include <optional>

#include "ui/main/keptart.h"

namespace quintelle::ui {

namespace {

// An icon made only when something first asks about it: its pixels, its
// sizes or its drawing. Until then it costs nothing.
class DeferredIconEngine : public QIconEngine {
  public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}
    QIconEngine* clone() const override { return new DeferredIconEngine(make_); }
    QString key() const override { return QStringLiteral("quintelle-deferred"); }
    bool isNull() override { return made().isNull(); }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return made().availableSizes(mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return made().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return made().pixmap(size, 1.0, mode, state);
    }
    // Asked for `size` device pixels at `scale`: the made icon is asked for
    // the same, in its own terms of logical size and ratio.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return made().pixmap((QSizeF(size) / scale).toSize(), scale, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        made().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

  private:
    const QIcon& made() {
        if (!made_) made_ = make_();
        return *made_;
    }
    std::function<QIcon()> make_;
    std::optional<QIcon> made_;
};

// The platform's own style, except that its standard icons are read from
// their files only when first shown: the menu bar asks for one it shows only
// when its menus do not fit, and reading it would load every image plugin.
class DeferredIconsStyle : public QProxyStyle {
  public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (option) return QProxyStyle::standardIcon(icon, option, widget);
        return QIcon(new DeferredIconEngine(
            [base = baseStyle(), icon] { return base->standardIcon(icon); }));
    }
};

}  // namespace

QuintelleApp::QuintelleApp(int& argc, char** argv) : QApplication(argc, argv) {
    // The application title. No display name is set: Qt would append it to
    // every window's caption ("Quintelle - Help File — Quintelle").
    setApplicationName(QStringLiteral("Quintelle"));
    // The player's data folder (~/.local/share/Orvanta/Quintelle) and the
    // desktop entry and icon the desktop pairs with our windows follow these.
    setOrganizationName(QStringLiteral("Orvanta"));
    setOrganizationDomain(QStringLiteral("orvanta.com"));
    setDesktopFileName(QStringLiteral(QUINTELLE_APP_ID));
    installFontSubstitutes();
    setStyle(new DeferredIconsStyle);
    // The program's icon: the emblem at one and two times its size, made
    // when a window first asks for it (on a platform without icons, never).
    setWindowIcon(QIcon(new DeferredIconEngine([] {
        QIcon icon;
        for (qreal dpr : {1.0, 2.0}) icon.addPixmap(kept::emblem(dpr));
        return icon;
    })));
}

bool QuintelleApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        showError(QStringLiteral("Unknown error"));
    }
    return false;
}

QString QuintelleApp::errorText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar(u'.')) return message + u'.';
    return message;
}

void QuintelleApp::showError(const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Quintelle"),
                          errorText(message));
}

void installFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
}

}  // namespace quintelle::ui
