// The in-process Windows tests' program: the platform set up as the game sets
// it up, the test folders found, and the timer that drives the dialogs.
#include "tests/win/win_test.h"

// Runs the next of the scripted steps on the dialog up now (see g_steps).
void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = GetActiveWindow();
    RECT a, b; // no dialog is up while the main window, or none, is active
    if (!GetParent(dialog) || !GetWindowRect(dialog, &a) || !GetWindowRect(GetParent(dialog), &b)) return;
    EXPECT_LE(abs(a.left + a.right - b.left - b.right) + abs(a.top + a.bottom - b.top - b.bottom), 2);
    if (g_steps.empty()) return (void)PostMessageA(dialog, WM_CLOSE, 0, 0);
    const std::function<void(HWND)> step = g_steps.front();
    g_steps.erase(g_steps.begin());
    step(dialog);
}

// A run under another code page or resolution than the one asked for would
// test the usual case again and pass: it is refused, with the reason.
static bool RunsAsAsked()
{
    const char *acp = getenv("KUVEX_ACP"), *dpi = getenv("KUVEX_DPI");
    const UINT wantAcp = acp ? UINT(atoi(acp)) : 0;
    const int wantDpi = dpi ? atoi(dpi) : 96, haveDpi = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY);
    if (GetACP() == wantAcp && haveDpi == wantDpi) return true;
    fprintf(stderr, "win_tests: refused: code page %u and %d dpi, but KUVEX_ACP=%s and KUVEX_DPI=%d\n", GetACP(),
            haveDpi, acp ? acp : "(not set)", wantDpi);
    return false;
}

// A crash inside the program's code ends the run as failed. Left to the
// system, one inside a window procedure that a step called (a dialog's
// OK, say) may be swallowed by the message dispatch (Wine does, and Windows
// does for timer callbacks), and the test would go on as if nothing had
// happened. Seen first, before any handler: codes no sound program raises.
static LONG CALLBACK EndOnACrash(EXCEPTION_POINTERS *e)
{
    const DWORD code = e->ExceptionRecord->ExceptionCode;
    for (DWORD fatal :
         {EXCEPTION_ACCESS_VIOLATION, EXCEPTION_ILLEGAL_INSTRUCTION, EXCEPTION_INT_DIVIDE_BY_ZERO,
          EXCEPTION_STACK_OVERFLOW, DWORD(STATUS_STACK_BUFFER_OVERRUN)})
        if (code == fatal) {
            fprintf(stderr, "win_tests: crashed: exception %08lx at %p\n", code,
                    e->ExceptionRecord->ExceptionAddress);
            fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 4);
        }
    return EXCEPTION_CONTINUE_SEARCH;
}

int main(int argc, char **argv)
{
    if (!RunsAsAsked()) return 3;
    InitCommonControls(); // the trackbar and the list view among them
    InstallWin32Host();
    if (!RegisterMainClass(GetModuleHandleA(nullptr))) {
        fprintf(stderr, "win_tests: the main window's class not registered (error %lu)\n", GetLastError());
        return 2;
    }
    GetTempPathA(MAX_PATH, g_scratch);
    GetCurrentDirectoryA(MAX_PATH, g_home);
    MultiByteToWideChar(CP_ACP, 0, (g_scratch + S("kuvex.ini")).c_str(), -1, g_settingsPath, PATH_CAP);
    // The program keeps its records beside itself while that folder may be
    // written, as the build folder may.
    GetModuleFileNameA(nullptr, g_recordPath, MAX_PATH);
    lstrcpyA(strrchr(g_recordPath, '\\'), "\\kuvex.rec");
    AddVectoredExceptionHandler(1, EndOnACrash);
    SetTimer(nullptr, 0, 10, RunStep);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
