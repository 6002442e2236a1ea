#pragma once

// A request to leave the program at once: the window's close button,
// SIGTERM or SIGINT. Every screen polls it and unwinds through the normal
// shutdown, so the high-score table is still written.
bool quitRequested();
// Hooks the close button and the two signals up to requestQuit.
void installQuitHandlers();
