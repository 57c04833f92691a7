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

    Tmain::Windows windows;
    windows.tallylist = tallylist_.get();
    windows.tally = tallylist_.get();
    windows.about = about_.get();
    windows.help = [this] { return help(); };
    windows.highscore = [this] { return highscore(); };
    windows.vendorLink = about_ ? &about_->link() : nullptr;
    if (tallylist_) windows.saveTally = [tally = tallylist_.get()] { tally->save(); };
    main_->setWindows(windows);
}

Thelp* ProgramWindows::help() {
    if (!help_) guarded([this] { help_ = std::make_unique<Thelp>(main_.get(), about_.get()); });
    return help_.get();
}

Thighscore* ProgramWindows::highscore() {
    if (!highscore_)
        guarded([this] {
            highscore_ =
                std::make_unique<Thighscore>(main_.get(), about_ ? &about_->link() : nullptr);
        });
    return highscore_.get();
}

ProgramWindows::~ProgramWindows() {
    main_->setWindows({});  // the game must not reach a window being destroyed
    highscore_.reset();
    help_.reset();
    about_.reset();
    guarded([this] { tallylist_.reset(); });
}

}  // namespace quintelle::ui
