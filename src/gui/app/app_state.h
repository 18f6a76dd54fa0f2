#pragma once
// The program's global state: created before the main window, owned by the program and
// handed to the window, freed by the exit routine.

#include <memory>

#include "core/text/local_text.h"
#include "core/web/http_session.h"

namespace xyx {

struct AppState {
  std::unique_ptr<HttpSession> httpSession;  // the one HTTP client of the program
  bool stopRequested = false;                // a running search should stop after its current line
  bool bannerMovingLeft = false;             // direction of the banner logo's next step
  int sortAscendingNext = 0;                 // direction of the next column sort
  Text playerPath;
  Text chosenPlayerFile;  // the file last chosen in the player dialog
};

}  // namespace xyx
