#pragma once
#include <string>

#include "http_tho.h"

// Who may drive the game: only this machine's own page, or a plain tool.
//
// The server changes the game on GET and answers every origin, so without
// this any web page the player visits could start games, play moves and
// overwrite the saved game; through DNS rebinding (a foreign name that
// resolves to 127.0.0.1) it could read the answers too. Browsers name the
// host they meant in Host and mark requests from other pages with Origin and
// Sec-Fetch-Site; a tool that sends none of these is served as before.

// The body of the 403 answer for a request from elsewhere, or empty when it
// may be served. `cong` is the port this server listens on (its own origin).
std::string lyDoTuChoi(const YeuCau& yc, int cong);
