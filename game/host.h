// The outward operations of the game core: everything the rules need from
// the world around them (screen, title bar, clock, dialogs, record file).
// The Win32 layer installs its implementation at start-up; tests install a
// recorder. The core never calls the platform directly.
#pragma once
#include <cstdint>

#include "game/handles.h"

struct GameHost
{
    // Draws the whole board with the current gamma, satur and back.
    void (*repaint)();
    // Sets the main window's title (Windows-1251 text).
    void (*setTitle)(HWND mainWindow, const char *text);
    // Milliseconds since an arbitrary start, wrapping at 2^32.
    uint32_t (*tickCount)();
    // Creates the field control as a child of the main window; null on failure.
    HWND (*createField)(HWND mainWindow);
    // Destroys the field control (only the board's destructor asks).
    void (*destroyField)(HWND field);
    // Runs the modal game-over dialog and returns when the player closed it.
    void (*gameOverDialog)(HWND mainWindow);
    // Appends one record (name, score, local time) to the record file.
    void (*appendRecord)(const char *name, int32_t score);
    // The colour index 0..7 of the next piece a new board or a refill drops:
    // the program hands in its generator's, so that the rules can be played
    // with pieces chosen in advance.
    int (*nextPiece)();
};

// Null until the front end installs one; the core then does nothing outward.
extern const GameHost *g_host;
