// Program entry: the application object (title "Quintelle", the error box
// for every handler), the windows in their fixed order, the message loop.
#include <memory>

#include "ui/main/application.h"
#include "ui/main/mainform.h"
#include "ui/main/program.h"

int main(int argc, char** argv) {
    quintelle::ui::QuintelleApp app(argc, argv);
    std::unique_ptr<quintelle::ui::ProgramWindows> windows;
    quintelle::ui::guarded([&] { windows = std::make_unique<quintelle::ui::ProgramWindows>(); });
    if (!windows) return 1;
    windows->main().show();
    return app.exec();
}
