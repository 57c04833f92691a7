#pragma once
#include <QApplication>
#include <QString>

namespace quintelle::ui {

// The program's application object. Every error that leaves an event handler
// ends up in the standard error box here, and the program goes on.
class QuintelleApp : public QApplication {
  public:
    QuintelleApp(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The message as the error box shows it: a period is added when the last
    // character sorts after "." (so "Posting Failed!" keeps its "!").
    static QString errorText(const QString& message);
    static void showError(const QString& message);
};

// Runs `handler` and shows any error it throws; for code that runs outside
// Qt's event dispatch (window creation and destruction).
template <typename F>
void guarded(F&& handler);

// The layout's Windows font names map to the metric-compatible Liberation
// fonts, so texts fit the boxes they were laid out for.
void installFontSubstitutes();

}  // namespace quintelle::ui

#include <exception>

template <typename F>
void quintelle::ui::guarded(F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        QuintelleApp::showError(QString::fromLocal8Bit(e.what()));
    }
}
