#include "ui/main/program.h"

#include "ui/help/aboutform.h"
#include "ui/help/helpform.h"
#include "ui/highscore/highscoreform.h"
#include "ui/main/application.h"
#include "ui/main/mainform.h"
#include "ui/tally/tallylistform.h"

namespace quintelle::ui {

ProgramWindows::ProgramWindows() : main_(std::make_unique<Tmain>()) {
    guarded([this] { tallylist_ = std::make_unique<Ttallylist>(main_.get()); });
    guarded([this] { about_ = std::make_unique<Tabout>(main_.get()); });
    const TURL* vendorLink = about_ ? &about_->link() : nullptr;
    guarded([this] { help_ = std::make_unique<Thelp>(main_.get(), about_.get()); });
    guarded([&] { highscore_ = std::make_unique<Thighscore>(main_.get(), vendorLink); });

    Tmain::Windows windows;
    windows.tallylist = tallylist_.get();
    windows.tally = tallylist_.get();
    windows.about = about_.get();
    windows.help = help_.get();
    windows.highscore = highscore_.get();
    windows.vendorLink = vendorLink;
    if (tallylist_) windows.saveTally = [tally = tallylist_.get()] { tally->save(); };
    main_->setWindows(windows);
}

ProgramWindows::~ProgramWindows() {
    main_->setWindows({});  // the game must not reach a window being destroyed
    highscore_.reset();
    help_.reset();
    about_.reset();
    guarded([this] { tallylist_.reset(); });
}

}  // namespace quintelle::ui
