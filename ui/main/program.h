#pragma once
#include <memory>

class Tabout;
class Thelp;
class Thighscore;
class Tmain;
class Ttallylist;

namespace quintelle::ui {

// The program's windows in their fixed order of creation: the main window
// (which reads the settings), the tally list (which loads the tally), then
// the about, help and high-score windows, which copy the main window's tile.
// They are destroyed in the reverse order, so the tally is saved while the
// main window still exists. A secondary window whose creation fails is
// reported and left out; without a main window there is no program, and its
// error goes to the caller.
class ProgramWindows {
  public:
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    Tmain& main() const { return *main_; }
    Ttallylist* tallylist() const { return tallylist_.get(); }
    Tabout* about() const { return about_.get(); }
    Thelp* help() const { return help_.get(); }
    Thighscore* highscore() const { return highscore_.get(); }

  private:
    std::unique_ptr<Tmain> main_;
    std::unique_ptr<Ttallylist> tallylist_;
    std::unique_ptr<Tabout> about_;
    std::unique_ptr<Thelp> help_;
    std::unique_ptr<Thighscore> highscore_;
};

}  // namespace quintelle::ui
