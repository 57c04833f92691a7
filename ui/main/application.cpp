#include "ui/main/application.h"

#include <QFont>
#include <QMessageBox>
#include <exception>

namespace quintelle::ui {

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
