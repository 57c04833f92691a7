#include "ui/main/application.h"

#include <QFont>
#include <QIcon>
#include <QIconEngine>
#include <QMessageBox>
#include <exception>

#include "ui/art/art.h"
#include "ui/main/keptpictures.h"

namespace quintelle::ui {

namespace {

// The program's icon: the emblem at one and two times its size, drawn when a
// window first asks for it (on a platform without window icons, never).
class EmblemIconEngine : public QIconEngine {
  public:
    QIconEngine* clone() const override { return new EmblemIconEngine; }
    QString key() const override { return QStringLiteral("quintelle-emblem"); }
    bool isNull() override { return false; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {art::emblemSize, art::emblemSize * 2};
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return drawn().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return drawn().pixmap(size, 1.0, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        drawn().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

  private:
    const QIcon& drawn() {
        if (icon_.isNull())
            for (qreal dpr : {1.0, 2.0})
                icon_.addPixmap(keptPicture(QStringLiteral("emblem"), dpr, art::emblem));
        return icon_;
    }
    QIcon icon_;
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
    setWindowIcon(QIcon(new EmblemIconEngine));
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
