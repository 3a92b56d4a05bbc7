// Black-box driving of the real kuvex.exe: start it in a folder of its own,
// find its windows, read the board from the screen, click, press keys, and
// collect its exit code.
#pragma once
#include <windows.h>

#include <string>

#include "game/board.h"

// The folder this driver runs from (holds kuvex.exe and ball.bmp).
std::string BuildDir();

// A fresh folder under the temp folder, removed with its files afterwards.
class Folder
{
  public:
    explicit Folder(const char *tag);
    ~Folder();
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;
    const std::string &path() const { return path_; }
    std::string File(const char *name) const { return path_ + "\\" + name; }
    // Copies kuvex.exe (and ball.bmp when withBall) from the build folder.
    void AddGame(bool withBall = true);

  private:
    std::string path_;
};

class Game
{
  public:
    // Starts exe (a full path) with the given command line tail, current
    // folder cwd, and waits for its main window (up to timeoutMs).
    bool Start(const std::string &exe, const std::string &cwd, const std::string &args = "",
               DWORD timeoutMs = 20000);
    ~Game();
    // Waits for the process to end; its exit code, or -1 on timeout (then
    // the process is killed).
    int WaitExit(DWORD timeoutMs = 15000);
    bool Running() const;
    // True once the main window answers messages again (a cascade is over).
    bool Answering(DWORD timeoutMs = 10000) const;
    std::string Title() const;
    // The score at the end of the title, or -1.
    int TitleScore() const;
    // An enabled dialog of this process with that caption, waiting up to
    // timeoutMs; null if none.
    HWND WaitDialog(const char *caption, DWORD timeoutMs = 10000) const;
    // Reads the board from the field control's pixels: the centre pixel of
    // every cell matched to the piece colours (needs the game to draw plain
    // colours: gamma 14, satur 1). Returns the number of cells recognised.
    int ReadBoard(Board &out) const;
    // Real mouse click at the centre of cell (c, r).
    void ClickCell(int c, int r) const;
    // Real click at a screen point.
    static void ClickScreen(int x, int y);
    // Brings the main window to the front for keyboard input.
    void Focus() const;

    HWND main = nullptr;
    HWND field = nullptr;
    PROCESS_INFORMATION pi = {};
};

// Text of a window (WM_GETTEXT with a timeout).
std::string WindowText(HWND w);
// Real key press through SendInput (with Ctrl and/or Alt held).
void Key(WORD vk, bool ctrl = false, bool alt = false);
void Wait(DWORD ms);
std::string ReadAll(const std::string &path);
void WriteAll(const std::string &path, const std::string &bytes);
