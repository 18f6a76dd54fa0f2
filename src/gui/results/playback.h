#pragma once
// Playing a row of the result list in the external player: finding the player (the stored
// path, the default place, or the user's choice), the playlist file and the player's start.

#include <QString>

#include "core/text/local_text.h"

namespace xyx {

class MainWindow;
struct AppState;

// playerPath from the stored player value; empty when there is none.
void ReadPlayerPath(AppState& state);

// Plays one address (local text): writes a playlist for it and starts the player on that
// file, or, when no player can be found, says so and lets the user choose one.
void PlayResource(MainWindow& window, const Text& address);

// Lets the user pick the player program; the choice is stored for later runs.
void ChoosePlayer(MainWindow& window);

// A message box without owner, modal for the whole program. `flags` as the system's message
// box flags (buttons in the low bits, the icon in 0x70); returns the code of the button
// pressed (1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No).
int ShowNotice(const QString& message, int flags = 0, const QString& title = QString());

// Starts `program` with `parameter` as its one argument, without a shell; a Windows program
// runs through wine when wine is installed. The outcome is not reported.
void RunProgram(const QString& program, const QString& parameter);

// The double-click on "列表框": plays the current row, if there is one.
void ListDoubleClicked(MainWindow& window);

}  // namespace xyx
