#pragma once

namespace quintelle::platform {

// The calling thread yields to the program's others and to the rest of the
// desktop: for background work a player is not waiting for, so it does not
// slow the round or the sound on a busy machine, yet still gets its turn.
void runInBackground();

}  // namespace quintelle::platform
