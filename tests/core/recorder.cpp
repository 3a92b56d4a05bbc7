// The test world (see recorder.h).
#include "recorder.h"

#include <new>

#include "game/host.h"
#include "game/random.h"
#include "game/turn.h"

const Settings kInitialSettings = g_settings;
Recorder rec;

namespace {

void Log(const std::string &what)
{
    rec.log += rec.log.empty() ? what : " " + what;
}

const GameHost kHost = {
    [] { Log("P"); },
    [](HWND, const char *text) { Log("T"), rec.title = text; },
    [] { return Log("t"), rec.clock += rec.step, rec.clock - rec.step; },
    [](HWND) { return Log("F"), reinterpret_cast<HWND>(0x1234); },
    [](HWND) { Log("D"); },
    [](HWND) { Log("G"); },
    [](const char *name, int32_t s) { Log("A" + std::string(name) + ":" + std::to_string(s)); },
};

} // namespace

void ResetWorld()
{
    rec = {"", "", 1000, 0x10000};
    g_host = &kHost;
    g_board.fieldWnd = nullptr; // the fake control needs no destroying
    g_board.~Board();
    new (&g_board) Board();
    score = 0;
    g_settings = kInitialSettings;
    SeedRandom(1);
}

void Draw(Board &b, const char *picture)
{
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const char ch = picture[r * 9 + c];
            b.grid[c][r] = ch == '.' ? EMPTY : ch == '-' ? 1000 + c * 8 + r : ch <= '7' ? ch - '0' : 100 + ch;
        }
}

std::string Picture(const Board &b)
{
    std::string s;
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            const int32_t v = b.grid[c][r];
            s += v == EMPTY ? '.' : v >= 1000 ? '-' : v >= 100 ? char(v - 100) : char('0' + v);
        }
        s += r < 7 ? " " : "";
    }
    return s;
}
