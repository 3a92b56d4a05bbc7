// Black-box driving of the real kuvex.exe: start it in a folder of its own,
// find its windows, read the board from the screen, click, press keys, read
// its dialogs and files, take pictures, and collect its exit code.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/board.h"
#include "scores/record.h"
#include "tests/common/files.h"

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

// Settings that make the board readable from the screen (every piece pixel
// is exactly its colour) and turns quick (no pauses).
extern const char PLAIN_INI[];

// A part of the screen as COLORREF values (0x00BBGGRR), rows top down.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
// Copies a screen rectangle through GDI (the screen DC into a DIB section).
Picture CaptureScreen(const RECT &screenRect);
// Writes an RGB PNG (stored deflate blocks); false if the file failed.
bool SavePng(const Picture &picture, const std::string &path);
// Saves the window as it is on screen to <build>\shots\<name>.png; the path.
std::string Shot(HWND w, const char *name);

// A list view of another process, read through memory lent in that process.
struct ListContents
{
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};
ListContents ReadListView(HWND list);
// The number of rows of a list view (of any process).
int ListRowCount(HWND list);

// Creates a folder and every missing folder above it.
void MakeFolders(const std::string &path);

class Game
{
  public:
    // Starts exe (a full path) with the given command line tail, current
    // folder cwd, and waits for its main window (up to timeoutMs).
    bool Start(const std::string &exe, const std::string &cwd, const std::string &args = "",
               DWORD timeoutMs = 20000);
    // The same with the whole command line as given (it need not name exe).
    bool StartWithCommandLine(const std::string &exe, const std::string &cwd, const std::string &commandLine,
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
    // Waits until no dialog of that caption is shown any more.
    bool WaitDialogGone(const char *caption, DWORD timeoutMs = 5000) const;
    // Reads the board from the field control's pixels on screen: the centre
    // pixel of every cell matched to the piece colours (needs PLAIN_INI's
    // gamma and satur). Returns the number of cells recognised.
    int ReadBoard(Board &out) const;
    // Waits until all 64 cells are recognised.
    bool ReadWholeBoard(Board &out, DWORD timeoutMs = 3000) const;
    // Real mouse click at the centre of cell (c, r).
    void ClickCell(int c, int r) const;
    // Real click at a screen point.
    static void ClickScreen(int x, int y);
    // Brings the main window to the front for keyboard input.
    void Focus() const;
    // Picks item `item` of pop-up `popup` of the menu bar with the real
    // mouse: on both when the system gives the menu's rectangles, else the
    // mouse opens the bar and the arrow keys walk to the item (then no
    // separator may come before it). A picture of the open pop-up is kept
    // under the name `shot` when one is given.
    enum MenuWay
    {
        MENU_FAILED,
        MENU_MOUSE,
        MENU_MOUSE_AND_KEYS
    };
    MenuWay ClickMenu(int popup, int item, const char *shot = nullptr) const;
    // The open menu pop-up of this process, waiting up to timeoutMs.
    HWND MenuPopup(DWORD timeoutMs = 2000) const;
    // The screen rectangle of the field control's client area.
    RECT FieldRect() const;

    // One turn as a player makes it: reads the board, picks a swap that
    // completes a triple, clicks its two cells and waits for the cascade.
    enum Turn
    {
        PLAYED,
        NO_MOVE,
        FAILED
    };
    // scoreBefore/scoreAfter: the title's score around the turn; why: what
    // went wrong for FAILED.
    Turn PlayTurn(int *scoreBefore, int *scoreAfter, std::string *why);

    // After a turn: the game-over dialog when the turn ended the game, null
    // when the board on screen still offers a move.
    HWND GameOverAfterTurn(DWORD timeoutMs = 10000) const;

    // Plays the current game to its end as PlayTurn does, checking that
    // every kept swap scores at least 3; the game-over dialog, or null with
    // why. turns gets the number of swaps.
    HWND PlayGame(int *turns, std::string *why);

    HWND main = nullptr;
    HWND field = nullptr;
    PROCESS_INFORMATION pi = {};
};

// The first top-level window of process pid whose class is cls and caption
// is caption (either may be null: any); with shown, only a visible one, and
// with enabled, only an enabled one.
HWND FindProcessWindow(DWORD pid, const char *cls, const char *caption = nullptr, bool shown = false,
                       bool enabled = false);
// Text of a window (WM_GETTEXT with a timeout).
std::string WindowText(HWND w);
// Real click at the centre of a window (a button of a dialog).
void ClickWindow(HWND w);
// Real key press through SendInput (with Ctrl and/or Alt held).
void Key(WORD vk, bool ctrl = false, bool alt = false);
// Types text (Windows-1251 bytes) as Unicode key strokes.
void Type(const std::string &text);
void Wait(DWORD ms);
