// Test harness for the in-process window tests: drives modal dialogs as they
// open, pumps messages, makes real mouse clicks and reads back pixels and
// list views.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/common/files.h"

// Watches every dialog (class #32770) of this thread become active for the
// first time and runs the next queued step on it; with no step queued it
// presses OK (posts WM_COMMAND IDOK), so an unexpected game-over dialog never
// hangs a test. A dialog still open 5 seconds after it appeared is ended and
// the test fails.
class DialogDriver
{
  public:
    using Step = std::function<void(HWND dialog)>;
    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver &) = delete;
    DialogDriver &operator=(const DialogDriver &) = delete;
    void Push(Step step);
    // From a step: the next queued step runs on this dialog once its modal
    // loop has handled what was posted before (keys, clicks). Not run if the
    // dialog has closed by then.
    static void Continue(HWND dialog);
    // Dialogs seen so far, with their captions in order; steps run.
    int seen = 0;
    std::string captions;
    int ran = 0;
    bool timedOut = false;
};

// Processes the thread's pending messages (and waits up to ms for more).
void Pump(DWORD ms = 50);
// The text of a window, as bytes.
std::string TextOf(HWND w);
// A real left click (SendInput) at client point (x, y) of window w.
void ClickAt(HWND w, int x, int y);

// The client area of a window (null: the whole screen) as its DC shows it.
struct Capture
{
    int w = 0, h = 0;
    std::vector<DWORD> bits; // top-down rows of 0x00RRGGBB
    COLORREF At(int x, int y) const
    {
        const DWORD p = bits[static_cast<size_t>(y) * w + x];
        return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
    }
};
Capture Grab(HWND w);

// A report-view list view's column headers, and the texts of its rows.
std::vector<std::string> ListHeaders(HWND list);
std::vector<std::vector<std::string>> ListRows(HWND list);

// A temporary folder, created empty; removed with its files (and empty
// subfolders) on destruction.
class TempDir
{
  public:
    TempDir();
    ~TempDir();
    const char *path() const { return path_; }
    std::string File(const char *name) const { return std::string(path_) + "\\" + name; }

  private:
    char path_[MAX_PATH];
};
