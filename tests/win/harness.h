// Test harness for the in-process window tests: drives modal dialogs as they
// open, pumps messages, and makes real mouse clicks.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "file_bytes.h"

// Watches every dialog (class #32770) of this thread become active for the
// first time and runs the next queued step on it; with no step queued it
// presses OK (posts WM_COMMAND IDOK), so an unexpected game-over dialog never
// hangs a test.
class DialogDriver
{
  public:
    using Step = std::function<void(HWND dialog)>;
    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver &) = delete;
    DialogDriver &operator=(const DialogDriver &) = delete;
    void Push(Step step);
    // Dialogs seen so far, with their captions in order.
    int seen = 0;
    std::string captions;
};

// Processes the thread's pending messages (and waits up to ms for more).
void Pump(DWORD ms = 50);
// The text of a window, as bytes.
std::string TextOf(HWND w);
// A real left click (SendInput) at client point (x, y) of window w.
void ClickAt(HWND w, int x, int y);
// Presses and releases a virtual key with optional Ctrl, by SendInput; the
// caller pumps the messages (with or without accelerators).
void PressKey(WORD vk, bool ctrl = false);
// A temporary folder, created empty; removed with its files on destruction.
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
