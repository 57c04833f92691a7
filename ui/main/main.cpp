// Program entry: the windows are created in a fixed order (the main window's
// creation reads the settings; the tally window's loads the tally; the others
// copy the main window's tile) and destroyed in the reverse order at exit, so
// the tally is saved while the main window still exists.
#include <memory>

#include "ui/help/aboutform.h"
#include "ui/help/helpform.h"
#include "ui/main/application.h"
#include "ui/main/mainform.h"
#include "ui/tally/tallylistform.h"

int main(int argc, char** argv) {
    quintelle::ui::QuintelleApp app(argc, argv);

    std::unique_ptr<Tmain> main;
    std::unique_ptr<Ttallylist> tallylist;
    std::unique_ptr<Tabout> about;
    std::unique_ptr<Thelp> help;
    quintelle::ui::guarded([&] { main = std::make_unique<Tmain>(); });
    if (!main) return 1;
    quintelle::ui::guarded([&] { tallylist = std::make_unique<Ttallylist>(main.get()); });
    quintelle::ui::guarded([&] { about = std::make_unique<Tabout>(main.get()); });
    quintelle::ui::guarded([&] { help = std::make_unique<Thelp>(main.get(), about.get()); });

    Tmain::Windows windows;
    windows.tallylist = tallylist.get();
    windows.tally = tallylist.get();
    windows.about = about.get();
    windows.help = help.get();
    windows.vendorLink = about ? &about->link() : nullptr;
    main->setWindows(windows);

    main->show();
    const int result = app.exec();
    main->setWindows({});  // the game must not reach a window being destroyed
    help.reset();
    about.reset();
    quintelle::ui::guarded([&] { tallylist.reset(); });
    main.reset();
    return result;
}
