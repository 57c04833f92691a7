// Program entry: the application object (title "Quintelle", the error box
// for every handler), the windows in their fixed order, the message loop,
// then the end of the process (platform/processend.h).
//
// The start-up machinery the program keeps: only what buys a tenth or more
// of the time to the first frame on X or of the peak memory, measured on and
// off in one run (`quintelle_bench_startup mechanisms`; the table of what was
// kept and what removed is in ARCHITECTURE.md). Without each, as built:
//  - drawn pictures kept on disk (keptpictures.h), read back at later starts
//    instead of drawn again: the first frame 1.21x later, memory 1.03x;
//  - libcurl opened at the first fetch (net/curlapi.h) rather than linked, so
//    a start loads neither it nor what it brings: the first frame 1.10x
//    later, memory 1.12x.
#include <QIcon>
#include <QPointer>
#include <QStandardPaths>
#include <memory>

#include "platform/endrequests.h"
#include "platform/processend.h"
#include "ui/main/application.h"
#include "ui/main/keptart.h"
#include "ui/main/keptpictures.h"
#include "ui/main/mainform.h"
#include "ui/main/program.h"

namespace {

int runProgram(int argc, char** argv) {
    quintelle::ui::QuintelleApp app(argc, argv);
    // A logout, Ctrl+C or `kill` ends the game as its close button does.
    quintelle::platform::EndRequests endRequests;
    quintelle::ui::keepPicturesIn(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                                  QStringLiteral("/pictures"));
    // The program's icon: the emblem at one and two times its size.
    QIcon icon;
    for (qreal dpr : {1.0, 2.0}) icon.addPixmap(quintelle::ui::kept::emblem(dpr));
    app.setWindowIcon(icon);
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
