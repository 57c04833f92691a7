// Program entry: the windows are created in a fixed order (the main window's
// creation reads the settings; the tally window's loads the tally; the others
// copy the main window's tile) and destroyed in the reverse order at exit.
#include <memory>

#include "ui/main/application.h"
#include "ui/main/mainform.h"

int main(int argc, char** argv) {
    quintelle::ui::QuintelleApp app(argc, argv);
    std::unique_ptr<Tmain> main;
    quintelle::ui::guarded([&] { main = std::make_unique<Tmain>(); });
    if (!main) return 1;
    main->show();
    return app.exec();
}
