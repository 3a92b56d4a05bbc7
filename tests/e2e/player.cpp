// The black-box driver's means of seeing and touching the game.
#include "player.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string BuildDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char *slash = std::strrchr(path, '\\');
    if (slash)
        *slash = '\0';
    return path;
}

Folder::Folder(const char *tag)
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%skuvex-e2e-%s-%lu-%d", base, tag, GetCurrentProcessId(), ++counter);
    path_ = name;
    CreateDirectoryA(path_.c_str(), nullptr);
}

static void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!std::strcmp(fd.cFileName, ".") || !std::strcmp(fd.cFileName, ".."))
                continue;
            std::string f = dir + "\\" + fd.cFileName;
            SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(f);
            else
                DeleteFileA(f.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(dir.c_str());
}

Folder::~Folder() { RemoveTree(path_); }

void Folder::AddGame(bool withBall)
{
    CopyFileA((BuildDir() + "\\kuvex.exe").c_str(), File("kuvex.exe").c_str(), FALSE);
    if (withBall)
        CopyFileA((BuildDir() + "\\ball.bmp").c_str(), File("ball.bmp").c_str(), FALSE);
}

namespace {

struct FindMain
{
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMainProc(HWND w, LPARAM lp)
{
    FindMain *f = reinterpret_cast<FindMain *>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (pid == f->pid && !std::strcmp(cls, "ViewerClass")) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

struct FindDialog
{
    DWORD pid;
    const char *caption;
    HWND found;
};

BOOL CALLBACK FindDialogProc(HWND w, LPARAM lp)
{
    FindDialog *f = reinterpret_cast<FindDialog *>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (pid == f->pid && !std::strcmp(cls, "#32770") && IsWindowVisible(w) && IsWindowEnabled(w) &&
        WindowText(w) == f->caption) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void Wait(DWORD ms)
{
    DWORD end = GetTickCount() + ms;
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

std::string WindowText(HWND w)
{
    char buf[1024] = "";
    DWORD_PTR r = 0;
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &r);
    return buf;
}

bool Game::Start(const std::string &exe, const std::string &cwd, const std::string &args, DWORD timeoutMs)
{
    std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    char line[40000];
    std::snprintf(line, sizeof line, "%s", cmd.c_str());
    if (!CreateProcessA(exe.c_str(), line, nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi))
        return false;
    DWORD end = GetTickCount() + timeoutMs;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        FindMain f = {pi.dwProcessId, nullptr};
        EnumWindows(FindMainProc, reinterpret_cast<LPARAM>(&f));
        if (f.found && IsWindowVisible(f.found)) {
            main = f.found;
            field = FindWindowExA(main, nullptr, "Static", "field");
            return true;
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            return false;
        Wait(50);
    }
    return false;
}

Game::~Game()
{
    if (pi.hProcess) {
        if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
        }
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
}

int Game::WaitExit(DWORD timeoutMs)
{
    DWORD end = GetTickCount() + timeoutMs;
    while (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) {
        if (static_cast<int>(end - GetTickCount()) <= 0) {
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
            return -1;
        }
        Wait(20);
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}

bool Game::Running() const { return pi.hProcess && WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0; }

bool Game::Answering(DWORD timeoutMs) const
{
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &r) != 0;
}

std::string Game::Title() const { return WindowText(main); }

int Game::TitleScore() const
{
    std::string t = Title();
    size_t colon = t.rfind(": ");
    if (colon == std::string::npos)
        return -1;
    return std::atoi(t.c_str() + colon + 2);
}

HWND Game::WaitDialog(const char *caption, DWORD timeoutMs) const
{
    DWORD end = GetTickCount() + timeoutMs;
    do {
        FindDialog f = {pi.dwProcessId, caption, nullptr};
        EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&f));
        if (f.found)
            return f.found;
        Wait(50);
    } while (static_cast<int>(end - GetTickCount()) > 0);
    return nullptr;
}

int Game::ReadBoard(Board &out) const
{
    RECT rc;
    GetClientRect(field, &rc);
    HDC dc = GetDC(field);
    int known = 0;
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r) {
            int x = (c * rc.right / 8 + (c + 1) * rc.right / 8) / 2;
            int y = (r * rc.bottom / 8 + (r + 1) * rc.bottom / 8) / 2;
            COLORREF px = GetPixel(dc, x, y);
            out.grid[c][r] = EMPTY;
            for (int k = 0; k < 8; ++k)
                if (out.colors[k] == px) {
                    out.grid[c][r] = k;
                    ++known;
                }
        }
    ReleaseDC(field, dc);
    return known;
}

void Game::Focus() const
{
    SetForegroundWindow(main);
    Wait(100);
}

void Game::ClickScreen(int x, int y)
{
    SetCursorPos(x, y);
    Wait(30);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    Wait(30);
}

void Game::ClickCell(int c, int r) const
{
    RECT rc;
    GetClientRect(field, &rc);
    POINT p = {(c * rc.right / 8 + (c + 1) * rc.right / 8) / 2, (r * rc.bottom / 8 + (r + 1) * rc.bottom / 8) / 2};
    ClientToScreen(field, &p);
    ClickScreen(p.x, p.y);
}

void Key(WORD vk, bool ctrl, bool alt)
{
    INPUT in[6] = {};
    int n = 0;
    auto key = [&](WORD k, bool up) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = k;
        in[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ++n;
    };
    if (ctrl)
        key(VK_CONTROL, false);
    if (alt)
        key(VK_MENU, false);
    key(vk, false);
    key(vk, true);
    if (alt)
        key(VK_MENU, true);
    if (ctrl)
        key(VK_CONTROL, true);
    SendInput(n, in, sizeof(INPUT));
    Wait(100);
}

std::string ReadAll(const std::string &path)
{
    std::string out;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return out;
}

void WriteAll(const std::string &path, const std::string &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}
