// Program entry: the application object (title "Quintelle", the error box
// for every handler), the windows in their fixed order, the message loop,
// then the end of the process (platform/processend.h).
#include <QPointer>
#include <QStandardPaths>
#include <memory>

#include "platform/endrequests.h"
#include "platform/fontwarmup.h"
#include "platform/processend.h"
#include "ui/main/application.h"
#include "ui/main/keptpictures.h"
#include "ui/main/mainform.h"
#include "ui/main/program.h"

namespace {

int runProgram(int argc, char** argv) {
    // Read while the application object connects to the display.
    quintelle::platform::FontConfigurationWarmUp fonts;
    quintelle::ui::QuintelleApp app(argc, argv);
    // A logout, Ctrl+C or `kill` ends the game as its close button does.
    quintelle::platform::EndRequests endRequests;
    // Later starts read the drawn art back from the user's cache folder.
    quintelle::ui::keepPicturesIn(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                                  QStringLiteral("/pictures"));
    fonts.wait();  // before the windows' first text
    std::unique_ptr<quintelle::ui::ProgramWindows> windows;
    quintelle::ui::guarded([&] { windows = std::make_unique<quintelle::ui::ProgramWindows>(); });
    if (!windows) return 1;
    endRequests.answerWith([main = QPointer<QWidget>(&windows->main())] {
        if (main) main->close();
    });
    windows->main().show();
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    const int code = runProgram(argc, argv);
    // The windows, the tally and the settings are down and saved by now; the
    // pictures of a first start may still be on their way to the disk.
    quintelle::ui::finishKeepingPictures();
    return quintelle::platform::endProcess(code);
}
