// The window-test harness.
#include "harness.h"

#include "tests/common/input.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>

namespace {

DialogDriver *g_driver = nullptr;
HHOOK g_hook = nullptr;
std::deque<DialogDriver::Step> g_steps;
std::vector<std::pair<HWND, DWORD>> g_known; // every dialog seen, when
HWND g_poster = nullptr;
const UINT kRunStep = WM_APP + 17;
const UINT_PTR kWatchdog = 1;
const DWORD kPatience = 5000;

LRESULT CALLBACK PosterProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == kRunStep) {
        HWND dialog = reinterpret_cast<HWND>(wp);
        if (!IsWindow(dialog)) return 0;
        if (!g_steps.empty()) {
            DialogDriver::Step step = g_steps.front();
            g_steps.pop_front();
            if (g_driver) ++g_driver->ran;
            step(dialog);
        } else {
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
        return 0;
    }
    if (m == WM_TIMER && wp == kWatchdog && g_driver) {
        // A dialog no step closed: end it, innermost first, rather than hang.
        for (auto it = g_known.rbegin(); it != g_known.rend(); ++it)
            if (IsWindow(it->first) && GetTickCount() - it->second > kPatience) {
                ADD_FAILURE() << "dialog left open: " << TextOf(it->first);
                g_driver->timedOut = true;
                EndDialog(it->first, 0);
                it->second = GetTickCount(); // once
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
        const auto known = [w](const std::pair<HWND, DWORD> &k) { return k.first == w; };
        if (std::string(cls) == "#32770" && std::none_of(g_known.begin(), g_known.end(), known)) {
            g_known.emplace_back(w, GetTickCount());
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
    SetTimer(g_poster, kWatchdog, 250, nullptr);
}

DialogDriver::~DialogDriver()
{
    KillTimer(g_poster, kWatchdog);
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_driver = nullptr;
    g_steps.clear();
}

void DialogDriver::Push(Step step)
{
    g_steps.push_back(std::move(step));
}

void DialogDriver::Continue(HWND dialog)
{
    PostMessageA(g_poster, kRunStep, reinterpret_cast<WPARAM>(dialog), 0);
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
    SendClick(p.x, p.y, [](DWORD ms) { Pump(ms); });
}

Capture Grab(HWND w)
{
    Capture cap;
    RECT rc;
    GetClientRect(w ? w : GetDesktopWindow(), &rc);
    cap.w = rc.right;
    cap.h = rc.bottom;
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cap.w, -cap.h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HDC dc = GetDC(w);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, cap.w, cap.h, dc, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD *p = static_cast<const DWORD *>(bits);
    for (int i = 0; i < cap.w * cap.h; ++i)
        cap.bits.push_back(p[i] & 0xFFFFFF); // the fourth byte is undefined
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(w, dc);
    return cap;
}

std::vector<std::string> ListHeaders(HWND list)
{
    std::vector<std::string> headers;
    for (int i = 0;; ++i) {
        char text[64] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        if (!SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column))) return headers;
        headers.push_back(text);
    }
}

std::vector<std::vector<std::string>> ListRows(HWND list)
{
    const size_t columns = ListHeaders(list).size();
    std::vector<std::vector<std::string>> rows(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t sub = 0; sub < columns; ++sub) {
            char text[300] = "";
            LVITEMA item = {};
            item.iSubItem = static_cast<int>(sub);
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
            rows[i].push_back(text);
        }
    return rows;
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
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(f.c_str());
            } else if (std::strcmp(fd.cFileName, ".") && std::strcmp(fd.cFileName, "..")) {
                RemoveDirectoryA(f.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path_);
}
