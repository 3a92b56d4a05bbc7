// The test host and board helpers.
#include "recorder.h"

#include <cstdio>
#include <new>

#include "game/turn.h"

Recorder *Recorder::current = nullptr;

static void RecRepaint()
{
    Recorder::current->calls.push_back("paint");
}
static void RecSetTitle(HWND, const char *t)
{
    Recorder::current->calls.push_back("title");
    Recorder::current->titles.push_back(t);
}
static uint32_t RecTick()
{
    Recorder *r = Recorder::current;
    uint32_t now = r->clock;
    r->clock += r->clockStep;
    return now;
}
static HWND RecCreateField(HWND)
{
    Recorder::current->calls.push_back("createField");
    return reinterpret_cast<HWND>(0x1234);
}
static void RecDestroyField(HWND) {}
static void RecGameOver(HWND)
{
    Recorder::current->calls.push_back("gameOver");
}
static void RecAppend(const char *name, int32_t s)
{
    Recorder::current->calls.push_back("append");
    Recorder::current->records.emplace_back(name, s);
}

static const GameHost kRecorderHost = {RecRepaint,      RecSetTitle, RecTick,  RecCreateField,
                                       RecDestroyField, RecGameOver, RecAppend};

void Recorder::Install()
{
    current = this;
    g_host = &kRecorderHost;
}

int Recorder::Count(const std::string &what) const
{
    int n = 0;
    for (const auto &c : calls)
        n += c == what;
    return n;
}

void SetGrid(Board &b, const char *const rows[8])
{
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            b.grid[c][r] = rows[r][c] == '.' ? EMPTY : rows[r][c] - '0';
}

std::vector<std::string> GridRows(const Board &b)
{
    std::vector<std::string> out;
    for (int r = 0; r < 8; ++r) {
        std::string row;
        for (int c = 0; c < 8; ++c)
            row += b.grid[c][r] == EMPTY ? '.' : static_cast<char>('0' + b.grid[c][r]);
        out.push_back(row);
    }
    return out;
}

void SetNoMoveBoard(Board &b)
{
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            b.grid[c][r] = (c + 3 * r) % 8;
}

void ResetBoard()
{
    g_board.fieldWnd = nullptr; // the fake field needs no destroying
    g_board.~Board();
    new (&g_board) Board();
}
