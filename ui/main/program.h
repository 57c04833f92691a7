#pragma once
#include <memory>

class Tabout;
class Thelp;
class Thighscore;
class Tmain;
class Ttallylist;

namespace quintelle::ui {

// The program's windows in their fixed order of creation: the main window
// (which reads the settings), the tally list (which loads the tally) and the
// about window, which copies the main window's tile. The help and high-score
// windows copy it too, but are made only when first asked for: most games
// never open them, and building them cost every start a few per cent. The
// windows are destroyed in the reverse order, so the tally is saved while the
// main window still exists. A secondary window whose creation fails is
// reported and left out (the help and high-score windows are tried again when
// next asked for); without a main window there is no program, and its error
// goes to the caller.
class ProgramWindows {
  public:
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    Tmain& main() const { return *main_; }
    Ttallylist* tallylist() const { return tallylist_.get(); }
    Tabout* about() const { return about_.get(); }
    Thelp* help();
    Thighscore* highscore();

  private:
    std::unique_ptr<Tmain> main_;
    std::unique_ptr<Ttallylist> tallylist_;
    std::unique_ptr<Tabout> about_;
    std::unique_ptr<Thelp> help_;
    std::unique_ptr<Thighscore> highscore_;
};

}  // namespace quintelle::ui
