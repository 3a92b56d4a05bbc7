// The window-test harness.
#include "harness.h"

#include <cstdio>
#include <deque>
#include <set>

namespace {

DialogDriver *g_driver = nullptr;
HHOOK g_hook = nullptr;
std::deque<DialogDriver::Step> g_steps;
std::set<HWND> g_known;
HWND g_poster = nullptr;
const UINT kRunStep = WM_APP + 17;

LRESULT CALLBACK PosterProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == kRunStep) {
        HWND dialog = reinterpret_cast<HWND>(wp);
        if (!IsWindow(dialog)) return 0;
        if (!g_steps.empty()) {
            DialogDriver::Step step = g_steps.front();
            g_steps.pop_front();
            step(dialog);
        } else {
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE && g_driver) {
        HWND w = reinterpret_cast<HWND>(wp);
        char cls[32] = "";
        GetClassNameA(w, cls, sizeof cls);
        if (std::string(cls) == "#32770" && g_known.insert(w).second) {
            ++g_driver->seen;
            char cap[256] = "";
            GetWindowTextA(w, cap, sizeof cap);
            g_driver->captions += std::string(cap) + ";";
            // Run the step once the dialog's modal loop is running.
            PostMessageA(g_poster, kRunStep, reinterpret_cast<WPARAM>(w), 0);
        }
    }
    return CallNextHookEx(g_hook, code, wp, lp);
}

} // namespace

DialogDriver::DialogDriver()
{
    if (!g_poster) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PosterProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KuvexTestPoster";
        RegisterClassA(&wc);
        g_poster = CreateWindowExA(0, "KuvexTestPoster", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    }
    g_steps.clear();
    g_known.clear();
    g_driver = this;
    g_hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

DialogDriver::~DialogDriver()
{
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_driver = nullptr;
    g_steps.clear();
}

void DialogDriver::Push(Step step)
{
    g_steps.push_back(std::move(step));
}

void Pump(DWORD ms)
{
    DWORD end = GetTickCount() + ms;
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

std::string TextOf(HWND w)
{
    char buf[1024] = "";
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

void ClickAt(HWND w, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(w, &p);
    SetCursorPos(p.x, p.y);
    Pump(20);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    Pump(60);
}

void PressKey(WORD vk, bool ctrl)
{
    INPUT in[4] = {};
    int n = 0;
    auto key = [&](WORD k, bool up) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = k;
        in[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ++n;
    };
    if (ctrl) key(VK_CONTROL, false);
    key(vk, false);
    key(vk, true);
    if (ctrl) key(VK_CONTROL, true);
    SendInput(n, in, sizeof(INPUT));
}

TempDir::TempDir()
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    std::snprintf(path_, sizeof path_, "%skuvex-test-%lu-%d", base, GetCurrentProcessId(), ++counter);
    CreateDirectoryA(path_, nullptr);
}

TempDir::~TempDir()
{
    WIN32_FIND_DATAA fd;
    std::string pattern = std::string(path_) + "\\*";
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string f = File(fd.cFileName);
            SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(f.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path_);
}
