#pragma once

// A request to leave the program at once: the window's close button,
// SIGHUP, SIGINT or SIGTERM. Every screen polls it and unwinds through the
// normal shutdown, so the high-score table is still written.
bool quitRequested();
// Asks every screen to leave as the close button does: for a window that is gone.
void requestQuit();
// Hooks the close button and the three signals up to the request, once the
// window is open.
void installQuitHandlers();
// Called right after allegro_exit, which gives SIGINT and SIGTERM their
// default actions back: takes them again, so that a late signal cannot cut
// the table's final save short.
void keepQuitSignals();
// Ends the process by the signal that asked it to leave, as a shell expects
// (status 128 + the signal); returns when no signal asked.
void endByQuitSignal();
