#pragma once
// The program's windows as start-up makes them, for tests that drive them:
// settings in a temporary folder, no sound, and the desktop's link opener
// replaced by a recorder.
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/appdir.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "ui/help/aboutform.h"
#include "ui/help/helpform.h"
#include "ui/main/application.h"
#include "ui/main/mainform.h"
#include "ui/main/program.h"

namespace helptest {

struct Silence : quintelle::platform::SoundBackend {
    void play(const QString&) override {}
    void stop() override {}
};

inline QtMessageHandler& forwardedMessages() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

// The offscreen platform cannot stack windows and says so on every show.
inline void dropRaiseNotice(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (message == QLatin1String("This plugin does not support raise()")) return;
    if (forwardedMessages()) forwardedMessages()(type, context, message);
}

// Once per test program, before the first widget.
inline void prepareApplication() {
    forwardedMessages() = qInstallMessageHandler(dropRaiseNotice);
    quintelle::ui::installFontSubstitutes();
    quintelle::platform::installSoundBackend(std::make_unique<Silence>());
}

// The program's windows as it creates them, over a folder of their own.
struct Windows {
    QTemporaryDir home;
    std::unique_ptr<quintelle::ui::ProgramWindows> program;
    Tmain* main = nullptr;
    Tabout* about = nullptr;
    Thelp* help = nullptr;

    Windows() {
        quintelle::platform::setExecutableFolder(home.path());
        // Showing the main window checks for updates unless this is off; these
        // tests reach no server.
        QFile settings(QDir(home.path()).filePath(QStringLiteral("quintelle.ini")));
        if (settings.open(QIODevice::WriteOnly)) settings.write("[quintelle]\r\nUpdate=false\r\n");
        settings.close();
        program = std::make_unique<quintelle::ui::ProgramWindows>();
        main = &program->main();
        about = program->about();
        help = program->help();
    }
};

// Stands in for the desktop while it lives: records every address handed to
// it and answers with `accept`.
struct ShellRecorder {
    QStringList opened;
    bool accept = true;
    ShellRecorder() {
        quintelle::platform::setShellForTesting([this](const QString& address) {
            opened << address;
            return accept;
        });
    }
    ~ShellRecorder() { quintelle::platform::setShellForTesting({}); }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;
};

// A pointer left over the place where a window opens would enter its
// controls at once.
inline void parkPointer() {
    QCursor::setPos(QPoint(799, 599));
}

inline QImage grabbed(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Names of the window's visible controls that cover `at` (window coordinates),
// whether they take the mouse or not.
inline QStringList controlsAt(QWidget* window, QPoint at) {
    QStringList names;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisibleTo(window) && QRect(w->mapTo(window, QPoint(0, 0)), w->size()).contains(at))
            names << w->objectName();
    return names;
}

// The window's texts that do not fit their labels, as "name: text".
inline QStringList clippedLabels(const QWidget* window) {
    QStringList clipped;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        const QFontMetrics metrics(label->font());
        if (metrics.horizontalAdvance(label->text()) > label->width() ||
            metrics.height() > label->height())
            clipped << label->objectName() + QStringLiteral(": ") + label->text();
    }
    return clipped;
}

}  // namespace helptest
