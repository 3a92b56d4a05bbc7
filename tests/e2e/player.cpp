// The black-box driver's means of seeing and touching the game.
#include "player.h"

#include "tests/common/input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <commctrl.h>

#include "game/moves.h"

const char PLAIN_INI[] = "[Kuvex]\r\nanim=0\r\ngamma=14\r\nsatur=1\r\n";

std::string BuildDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char *slash = std::strrchr(path, '\\');
    if (slash) *slash = '\0';
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
            if (!std::strcmp(fd.cFileName, ".") || !std::strcmp(fd.cFileName, "..")) continue;
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

void MakeFolders(const std::string &path)
{
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

Folder::~Folder()
{
    RemoveTree(path_);
}

void Folder::AddGame(bool withBall)
{
    CopyFileA((BuildDir() + "\\kuvex.exe").c_str(), File("kuvex.exe").c_str(), FALSE);
    if (withBall) CopyFileA((BuildDir() + "\\ball.bmp").c_str(), File("ball.bmp").c_str(), FALSE);
}

namespace {

struct WindowQuery
{
    DWORD pid;
    const char *cls;
    const char *caption;
    bool shown, enabled;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM lp)
{
    WindowQuery *q = reinterpret_cast<WindowQuery *>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (pid != q->pid || (q->cls && std::strcmp(cls, q->cls)) || (q->shown && !IsWindowVisible(w)) ||
        (q->enabled && !IsWindowEnabled(w)) || (q->caption && WindowText(w) != q->caption))
        return TRUE;
    q->found = w;
    return FALSE;
}

} // namespace

HWND FindProcessWindow(DWORD pid, const char *cls, const char *caption, bool shown, bool enabled)
{
    WindowQuery q = {pid, cls, caption, shown, enabled, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

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
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 5000, &r);
    return buf;
}

bool Game::Start(const std::string &exe, const std::string &cwd, const std::string &args, DWORD timeoutMs)
{
    return StartWithCommandLine(exe, cwd, "\"" + exe + "\"" + (args.empty() ? "" : " " + args), timeoutMs);
}

bool Game::StartWithCommandLine(const std::string &exe, const std::string &cwd, const std::string &cmd,
                                DWORD timeoutMs)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    char line[40000];
    std::snprintf(line, sizeof line, "%s", cmd.c_str());
    if (!CreateProcessA(exe.c_str(), line, nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi))
        return false;
    DWORD end = GetTickCount() + timeoutMs;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        // A game whose opening board offers no move shows its game-over
        // dialog before the main window is first shown.
        if (HWND found = FindProcessWindow(pi.dwProcessId, "ViewerClass")) {
            main = found;
            if (IsWindowVisible(main) || WaitDialog("Конец игры", 0)) {
                field = FindWindowExA(main, nullptr, "Static", "field");
                return true;
            }
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) return false;
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

bool Game::Running() const
{
    return pi.hProcess && WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0;
}

bool Game::Answering(DWORD timeoutMs) const
{
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &r) != 0;
}

std::string Game::Title() const
{
    return WindowText(main);
}

int Game::TitleScore() const
{
    std::string t = Title();
    size_t colon = t.rfind(": ");
    if (colon == std::string::npos) return -1;
    return std::atoi(t.c_str() + colon + 2);
}

HWND Game::WaitDialog(const char *caption, DWORD timeoutMs) const
{
    DWORD end = GetTickCount() + timeoutMs;
    for (;;) {
        if (HWND found = FindProcessWindow(pi.dwProcessId, "#32770", caption, true, true)) return found;
        if (static_cast<int>(end - GetTickCount()) <= 0) return nullptr;
        Wait(20);
    }
}

RECT Game::FieldRect() const
{
    RECT rc = {};
    GetClientRect(field, &rc);
    POINT origin = {0, 0};
    ClientToScreen(field, &origin);
    OffsetRect(&rc, origin.x, origin.y);
    return rc;
}

int Game::ReadBoard(Board &out) const
{
    const RECT rc = FieldRect();
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int known = 0;
    if (w < 8 || h < 8) return 0;
    const Picture picture = CaptureScreen(rc);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r) {
            const uint32_t px =
                picture.At((c * w / 8 + (c + 1) * w / 8) / 2, (r * h / 8 + (r + 1) * h / 8) / 2);
            out.grid[c][r] = EMPTY;
            for (int k = 0; k < 8; ++k)
                if (out.colors[k] == px) {
                    out.grid[c][r] = k;
                    ++known;
                    break;
                }
        }
    return known;
}

bool Game::ReadWholeBoard(Board &out, DWORD timeoutMs) const
{
    DWORD end = GetTickCount() + timeoutMs;
    do {
        if (Answering() && ReadBoard(out) == 64) return true;
        Wait(20);
    } while (static_cast<int>(end - GetTickCount()) > 0);
    return false;
}

void Game::Focus() const
{
    SetForegroundWindow(main);
    Wait(100);
}

void Game::ClickScreen(int x, int y)
{
    SendClick(x, y, Wait);
}

void Game::ClickCell(int c, int r) const
{
    RECT rc;
    GetClientRect(field, &rc);
    POINT p = {(c * rc.right / 8 + (c + 1) * rc.right / 8) / 2,
               (r * rc.bottom / 8 + (r + 1) * rc.bottom / 8) / 2};
    ClientToScreen(field, &p);
    ClickScreen(p.x, p.y);
}

void Key(WORD vk, bool ctrl, bool alt)
{
    SendKey(vk, ctrl, alt);
    Wait(100);
}

bool Game::WaitDialogGone(const char *caption, DWORD timeoutMs) const
{
    DWORD end = GetTickCount() + timeoutMs;
    do {
        if (!FindProcessWindow(pi.dwProcessId, "#32770", caption, true, true)) return true;
        Wait(20);
    } while (static_cast<int>(end - GetTickCount()) > 0);
    return false;
}

HWND Game::MenuPopup(DWORD timeoutMs) const
{
    DWORD end = GetTickCount() + timeoutMs;
    for (;;) {
        HWND found = FindProcessWindow(pi.dwProcessId, "#32768", nullptr, true);
        if (found || static_cast<int>(end - GetTickCount()) <= 0) return found;
        Wait(20);
    }
}

Game::MenuWay Game::ClickMenu(int popup, int item, const char *shot) const
{
    HMENU bar = GetMenu(main);
    RECT rc = {};
    if (bar && GetMenuItemRect(main, bar, popup, &rc)) {
        ClickScreen((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        // The pop-up's item rectangles exist once it is on screen.
        HMENU sub = GetSubMenu(bar, popup);
        DWORD end = GetTickCount() + 3000;
        while (!GetMenuItemRect(nullptr, sub, item, &rc) || rc.bottom <= rc.top) {
            if (static_cast<int>(end - GetTickCount()) <= 0) return MENU_FAILED;
            Wait(20);
        }
        if (shot) Shot(MenuPopup(), shot);
        ClickScreen((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        return MENU_MOUSE;
    }
    // Menus kept private to their process (Wine) give no rectangles: the
    // bar's first item begins at the client area's left edge just above it;
    // the mouse opens it, and the keyboard walks on from there.
    POINT origin = {0, 0};
    ClientToScreen(main, &origin);
    ClickScreen(origin.x + 12, origin.y - GetSystemMetrics(SM_CYMENU) / 2);
    if (!MenuPopup()) return MENU_FAILED;
    // Right opens the next pop-up with its first item selected; a pop-up
    // opened by the mouse has none selected.
    for (int i = 0; i < popup; ++i)
        Key(VK_RIGHT);
    for (int i = 0; i < item + (popup == 0 ? 1 : 0); ++i)
        Key(VK_DOWN);
    if (shot) Shot(MenuPopup(), shot);
    Key(VK_RETURN);
    return MENU_MOUSE_AND_KEYS;
}

Game::Turn Game::PlayTurn(int *scoreBefore, int *scoreAfter, std::string *why)
{
    Board seen;
    if (!ReadWholeBoard(seen)) {
        *why = "the board could not be read from the screen";
        return FAILED;
    }
    int move[4] = {-1, -1, -1, -1};
    ForEachMove(seen, [&](int c1, int r1, int c2, int r2) {
        if (move[0] < 0) {
            move[0] = c1, move[1] = r1, move[2] = c2, move[3] = r2;
        }
    });
    if (move[0] < 0) return NO_MOVE;
    const std::string title = Title();
    *scoreBefore = TitleScore();
    ClickCell(move[2], move[3]);
    ClickCell(move[0], move[1]);
    // The cascade runs inside the click's handler and writes the title last;
    // a kept swap always scores, so the title changes. A long cascade with
    // pauses leaves the window silent for a while (no text comes back).
    DWORD end = GetTickCount() + 30000;
    for (std::string now = Title(); now == title || now.empty(); now = Title()) {
        if (static_cast<int>(end - GetTickCount()) <= 0) {
            char text[160];
            std::snprintf(text, sizeof text, "swap (%d,%d)-(%d,%d) changed nothing in the title", move[2],
                          move[3], move[0], move[1]);
            *why = text;
            return FAILED;
        }
        Wait(5);
    }
    *scoreAfter = TitleScore();
    return PLAYED;
}

void ClickWindow(HWND w)
{
    RECT rc = {};
    GetWindowRect(w, &rc);
    Game::ClickScreen((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

void Type(const std::string &text)
{
    wchar_t wide[1024];
    const int n = MultiByteToWideChar(1251, 0, text.data(), static_cast<int>(text.size()), wide, 1024);
    for (int i = 0; i < n; ++i) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = wide[i];
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
    Wait(100);
}

Picture CaptureScreen(const RECT &screenRect)
{
    Picture p;
    p.width = screenRect.right - screenRect.left;
    p.height = screenRect.bottom - screenRect.top;
    if (p.width <= 0 || p.height <= 0) return Picture();
    p.pixels.resize(static_cast<size_t>(p.width) * p.height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height; // rows top down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, p.width, p.height, screen, screenRect.left, screenRect.top, SRCCOPY);
    GdiFlush();
    const uint32_t *src = static_cast<const uint32_t *>(bits);
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        const uint32_t v = src[i]; // 0x00RRGGBB
        p.pixels[i] = ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16);
    }
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return p;
}

namespace {

uint32_t Crc32(const unsigned char *data, size_t n, uint32_t crc = 0)
{
    static uint32_t table[256];
    if (!table[1])
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBe32(std::string &out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

void PutChunk(std::string &out, const char *type, const std::string &data)
{
    PutBe32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutBe32(out, Crc32(reinterpret_cast<const unsigned char *>(body.data()), body.size()));
}

} // namespace

bool SavePng(const Picture &picture, const std::string &path)
{
    std::string raw;
    for (int y = 0; y < picture.height; ++y) {
        raw += '\0'; // no filter
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.At(x, y);
            raw += static_cast<char>(c & 0xFF);
            raw += static_cast<char>((c >> 8) & 0xFF);
            raw += static_cast<char>((c >> 16) & 0xFF);
        }
    }
    // A zlib stream of stored (uncompressed) deflate blocks.
    std::string z = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        z += static_cast<char>(at + n >= raw.size() ? 1 : 0);
        z += static_cast<char>(n & 0xFF);
        z += static_cast<char>(n >> 8);
        z += static_cast<char>(~n & 0xFF);
        z += static_cast<char>((~n >> 8) & 0xFF);
        z.append(raw, at, n);
        if (raw.empty()) break;
    }
    for (unsigned char ch : raw) {
        a = (a + ch) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(z, b << 16 | a);
    std::string header;
    PutBe32(header, static_cast<uint32_t>(picture.width));
    PutBe32(header, static_cast<uint32_t>(picture.height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", "");
    WriteFileBytes(path, png);
    return ReadFileBytes(path).size() == png.size();
}

std::string Shot(HWND w, const char *name)
{
    const std::string dir = BuildDir() + "\\shots";
    CreateDirectoryA(dir.c_str(), nullptr);
    RECT rc = {};
    GetWindowRect(w, &rc);
    const std::string path = dir + "\\" + name + ".png";
    SavePng(CaptureScreen(rc), path);
    return path;
}

// The list view's messages carry pointers, which the system does not carry
// across processes: the structures and their text live in the game's memory.
ListContents ReadListView(HWND list)
{
    ListContents out;
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return out;
    const SIZE_T textAt = 1024, textCap = 1024;
    char *remote =
        static_cast<char *>(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    auto fetchText = [&]() {
        char text[textCap] = "";
        SIZE_T got = 0;
        ReadProcessMemory(process, remote + textAt, text, textCap - 1, &got);
        return std::string(text);
    };
    DWORD_PTR result = 0;
    auto send = [&](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        result = 0;
        SendMessageTimeoutA(w, msg, wp, lp, SMTO_NORMAL, 5000, &result);
        return static_cast<LRESULT>(result);
    };
    if (remote) {
        HWND header = reinterpret_cast<HWND>(send(list, LVM_GETHEADER, 0, 0));
        const int columns = header ? static_cast<int>(send(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        for (int c = 0; c < columns; ++c) {
            HDITEMA hi = {};
            hi.mask = HDI_TEXT;
            hi.pszText = remote + textAt;
            hi.cchTextMax = static_cast<int>(textCap);
            WriteProcessMemory(process, remote, &hi, sizeof hi, nullptr);
            send(header, HDM_GETITEMA, c, reinterpret_cast<LPARAM>(remote));
            out.headers.push_back(fetchText());
        }
        const int rows = static_cast<int>(send(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < rows; ++i) {
            std::vector<std::string> row;
            for (int c = 0; c < columns; ++c) {
                LVITEMA item = {};
                item.iSubItem = c;
                item.pszText = remote + textAt;
                item.cchTextMax = static_cast<int>(textCap);
                WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
                send(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(remote));
                row.push_back(fetchText());
            }
            out.rows.push_back(row);
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return out;
}

HWND Game::GameOverAfterTurn(DWORD timeoutMs) const
{
    DWORD end = GetTickCount() + timeoutMs;
    do {
        Answering();
        if (HWND over = WaitDialog("Конец игры", 0)) return over;
        // The screen shows the settled board before the dialog opens.
        Board seen;
        bool anyMove = false;
        if (ReadBoard(seen) == 64) ForEachMove(seen, [&](int, int, int, int) { anyMove = true; });
        if (anyMove) return nullptr;
        Wait(20);
    } while (static_cast<int>(end - GetTickCount()) > 0);
    return nullptr;
}

int ListRowCount(HWND list)
{
    DWORD_PTR n = 0;
    SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &n);
    return static_cast<int>(n);
}

HWND Game::PlayGame(int *turns, std::string *why)
{
    *turns = 0;
    HWND over = WaitDialog("Конец игры", 0);
    while (!over && *turns < 3000) {
        int before = 0, after = 0;
        const Turn turn = PlayTurn(&before, &after, why);
        if (turn == FAILED) return nullptr;
        if (turn == NO_MOVE) return WaitDialog("Конец игры");
        ++*turns;
        if (after < before + 3) {
            *why = "a swap scored " + std::to_string(before) + " -> " + std::to_string(after);
            return nullptr;
        }
        over = GameOverAfterTurn();
    }
    if (!over) *why = "no end after " + std::to_string(*turns) + " turns";
    return over;
}
