// Damaged and hostile surroundings for the real kuvex.exe: settings files,
// record files and pictures that are broken or absurd, odd command lines
// and awkward folders. In every case the program must start, take a turn,
// show the best results, end with exit code 0, and keep every record that
// was whole in the record file before it started.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "player.h"
#include "res/resource.h"

namespace {

// Reproducible noise.
std::string Noise(size_t n, uint32_t seed)
{
    std::string out(n, '\0');
    for (char &c : out) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return out;
}

std::string Record(const char *name, int score)
{
    unsigned char bytes[RECORD_MAX];
    const RecordTime t = {2002, 12, 4, 5, 9, 3, 7, 250};
    return std::string(reinterpret_cast<char *>(bytes), EncodeRecord(name, score, t, bytes));
}

// Three whole records, the usual contents before a case.
std::string ThreeRecords()
{
    return Record("Аня", 5) + Record("Борис", 12) + Record("", 7);
}

void Le(std::string &out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A bitmap file: width x height at the given bits per pixel, with a grey
// colour table for up to 8 bits; pixel rows only when withPixels.
std::string Bmp(int32_t width, int32_t height, int bits, bool withPixels = true)
{
    const uint32_t colours = bits <= 8 ? 1u << bits : 0;
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * bits + 31) / 32 * 4;
    const uint32_t offset = 14 + 40 + colours * 4;
    std::string out = "BM";
    Le(out, offset + rowBytes * static_cast<uint32_t>(height), 4);
    Le(out, 0, 4);
    Le(out, offset, 4);
    Le(out, 40, 4);
    Le(out, static_cast<uint32_t>(width), 4);
    Le(out, static_cast<uint32_t>(height), 4);
    Le(out, 1, 2);
    Le(out, static_cast<uint32_t>(bits), 2);
    Le(out, 0, 4); // BI_RGB
    Le(out, rowBytes * static_cast<uint32_t>(height), 4);
    Le(out, 2835, 4);
    Le(out, 2835, 4);
    Le(out, colours, 4);
    Le(out, 0, 4);
    for (uint32_t i = 0; i < colours; ++i)
        Le(out, (i * 255 / (colours - 1)) * 0x010101u, 4);
    if (withPixels) out += Noise(rowBytes * static_cast<uint32_t>(height), 7);
    return out;
}

const char NO_FILE[] = "\x01<none>";
const char A_FOLDER[] = "\x01<folder>";

struct Case
{
    const char *name;
    std::string ini = PLAIN_INI;
    std::string rec = ThreeRecords();
    std::string ball = "<good>";
    // Whole command line; empty: the quoted program path, then args.
    std::string commandLine;
    std::string args;
    // Extra set-up in the case's folder (locks, attributes, other paths);
    // returns the folder to run in, or "" for the usual one.
    std::function<std::string(Folder &)> setUp;
    // Run after the game has ended (releases what setUp holds).
    std::function<void()> tearDown;
    int expectRows = -1; // -1: as many as there are whole records
};

void Put(const std::string &path, const std::string &contents)
{
    if (contents == NO_FILE) return;
    if (contents == A_FOLDER) {
        CreateDirectoryA(path.c_str(), nullptr);
        return;
    }
    WriteFileBytes(path, contents);
}

std::string NameOf(size_t n, char c)
{
    return std::string(n, c);
}

std::vector<Case> Catalogue()
{
    std::vector<Case> cases;
    auto add = [&](const char *name, std::function<void(Case &)> edit) {
        Case c;
        c.name = name;
        edit(c);
        cases.push_back(c);
    };
    const std::string plain = PLAIN_INI;
    // Settings file.
    add("ini: binary garbage", [](Case &c) { c.ini = Noise(4000, 1); });
    add("ini: section then garbage", [&](Case &c) { c.ini = "[Kuvex]\r\n" + Noise(4000, 2); });
    add("ini: empty file", [](Case &c) { c.ini = ""; });
    add("ini: a folder of that name", [](Case &c) { c.ini = A_FOLDER; });
    add("ini: keys without a section", [](Case &c) { c.ini = "anim=0\r\ngamma=14\r\nsatur=1\r\n"; });
    add("ini: UTF-16 text", [](Case &c) {
        const std::string text = "[Kuvex]\r\nanim=0\r\ngamma=14\r\nsatur=1\r\n";
        c.ini = "\xFF\xFE";
        for (char ch : text)
            c.ini += std::string(1, ch) + '\0';
    });
    add("ini: numbers past 32 bits", [](Case &c) {
        c.ini = "[Kuvex]\r\nanim=99999999999999999999\r\ngamma=2147483648\r\nsatur=-2147483649\r\n";
    });
    add("ini: negative numbers", [](Case &c) { c.ini = "[Kuvex]\r\nanim=-1\r\ngamma=-5\r\nsatur=-7\r\n"; });
    add("ini: gamma 0", [](Case &c) { c.ini = "[Kuvex]\r\nanim=0\r\ngamma=0\r\nsatur=1\r\n"; });
    add("ini: gamma 99", [](Case &c) { c.ini = "[Kuvex]\r\nanim=0\r\ngamma=99\r\nsatur=1\r\n"; });
    add("ini: satur 0", [](Case &c) { c.ini = "[Kuvex]\r\nanim=0\r\ngamma=14\r\nsatur=0\r\n"; });
    add("ini: anim 5000 (pauses held to 1 s)",
        [](Case &c) { c.ini = "[Kuvex]\r\nanim=5000\r\ngamma=14\r\nsatur=1\r\n"; });
    add("ini: name of 10000 bytes",
        [&](Case &c) { c.ini = plain + "name=" + NameOf(10000, '\xDF') + "\r\n"; });
    add("ini: empty name", [&](Case &c) { c.ini = plain + "name=\r\n"; });
    add("ini: back with a wrong checksum", [&](Case &c) { c.ini = plain + "back=0000FF00AA\r\n"; });
    add("ini: back not hexadecimal", [&](Case &c) { c.ini = plain + "back=ZZZZZZZZZZ\r\n"; });
    add("ini: back of 5000 digits", [&](Case &c) { c.ini = plain + "back=" + NameOf(5000, 'F') + "\r\n"; });
    add("ini: back of 2 digits", [&](Case &c) { c.ini = plain + "back=00\r\n"; });
    add("ini: one line of 100000 bytes", [&](Case &c) { c.ini = plain + NameOf(100000, 'x') + "\r\n"; });
    // Record file.
    const std::string three = ThreeRecords();
    const std::string next = Record("Вера", 300);
    add("rec: empty file", [](Case &c) { c.rec = ""; });
    add("rec: none", [](Case &c) { c.rec = NO_FILE; });
    add("rec: cut inside a name", [&](Case &c) { c.rec = three + next.substr(0, 2); });
    add("rec: cut after the name's NUL", [&](Case &c) { c.rec = three + next.substr(0, 5); });
    add("rec: cut inside the score", [&](Case &c) { c.rec = three + next.substr(0, 6); });
    add("rec: cut inside the time", [&](Case &c) { c.rec = three + next.substr(0, 14); });
    add("rec: one byte short", [&](Case &c) { c.rec = three + next.substr(0, next.size() - 1); });
    add("rec: name without NUL to the end", [&](Case &c) { c.rec = three + NameOf(300, 'N'); });
    add("rec: 300-byte name between records", [&](Case &c) {
        c.rec = three + NameOf(300, 'N') + std::string(1, '\0') + next.substr(next.size() - 18) + next;
    });
    add("rec: 255-byte name", [&](Case &c) { c.rec = three + Record(NameOf(255, 'L').c_str(), 9) + next; });
    add("rec: random bytes", [](Case &c) { c.rec = Noise(5000, 3); });
    add("rec: 10000 records", [&](Case &c) {
        c.rec.clear();
        for (int i = 0; i < 10000; ++i)
            c.rec += Record(i % 2 ? "Игрок" : "", i + 1);
    });
    add("rec: a folder of that name", [](Case &c) {
        c.rec = A_FOLDER;
        c.expectRows = 0;
    });
    add("rec: held open by another program", [](Case &c) {
        c.expectRows = 0;
        auto held = std::make_shared<HANDLE>(INVALID_HANDLE_VALUE);
        c.setUp = [held](Folder &dir) {
            *held = CreateFileA(dir.File("kuvex.rec").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
            return std::string();
        };
        c.tearDown = [held]() { CloseHandle(*held); };
    });
    add("rec: read-only file", [](Case &c) {
        c.setUp = [](Folder &dir) {
            SetFileAttributesA(dir.File("kuvex.rec").c_str(), FILE_ATTRIBUTE_READONLY);
            return std::string();
        };
    });
    // Picture.
    add("bmp: missing", [](Case &c) { c.ball = NO_FILE; });
    add("bmp: empty file", [](Case &c) { c.ball = ""; });
    add("bmp: a folder of that name", [](Case &c) { c.ball = A_FOLDER; });
    add("bmp: random bytes", [](Case &c) { c.ball = Noise(3000, 4); });
    add("bmp: truncated to half", [](Case &c) { c.ball = "<half>"; });
    add("bmp: headers only", [](Case &c) { c.ball = Bmp(32, 32, 4, false); });
    add("bmp: 1-bit", [](Case &c) { c.ball = Bmp(32, 32, 1); });
    add("bmp: 8-bit", [](Case &c) { c.ball = Bmp(32, 32, 8); });
    add("bmp: 24-bit", [](Case &c) { c.ball = Bmp(32, 32, 24); });
    add("bmp: 0 x 0", [](Case &c) { c.ball = Bmp(0, 0, 4); });
    add("bmp: header of 30000 x 30000",
        [](Case &c) { c.ball = Bmp(30000, 30000, 4, false) + Noise(5000, 5); });
    add("bmp: 4-bit of 3 x 2", [](Case &c) { c.ball = Bmp(3, 2, 4); });
    // Command line.
    add("cmd: 30000 characters of arguments", [](Case &c) { c.args = NameOf(30000, 'x'); });
    add("cmd: unbalanced quote", [](Case &c) { c.args = "\"a b"; });
    add("cmd: arguments with backslashes", [](Case &c) {
        // The last backslash of the line ends the "program directory": the
        // files are looked for in a folder that does not exist.
        c.args = "a\\b\\c \\\\server\\share";
        c.expectRows = 0;
    });
    add("cmd: quotes and blanks only", [](Case &c) { c.commandLine = "  \"\"  \"  "; });
    add("cmd: bare program name", [](Case &c) { c.commandLine = "kuvex.exe"; });
    // Folders.
    add("dir: read-only folder and files", [](Case &c) {
        c.setUp = [](Folder &dir) {
            SetFileAttributesA(dir.File("kuvex.ini").c_str(), FILE_ATTRIBUTE_READONLY);
            SetFileAttributesA(dir.File("kuvex.rec").c_str(), FILE_ATTRIBUTE_READONLY);
            SetFileAttributesA(dir.path().c_str(), FILE_ATTRIBUTE_READONLY);
            return std::string();
        };
    });
    add("dir: path of 259 characters",
        [](Case &c) { c.setUp = [](Folder &) { return std::string("<long>"); }; });
    add("dir: Russian name with blanks",
        [](Case &c) { c.setUp = [](Folder &) { return std::string("<russian>"); }; });
    return cases;
}

// Moves the game and the case's files into a folder under dir whose path
// has the given shape; returns it.
std::string NestedFolder(Folder &dir, const std::string &kind)
{
    std::string path = dir.path();
    if (kind == "<russian>") {
        path += "\\Мои игры\\Кувекс 2002 (копия)";
    } else {
        // kuvex.exe's full path ends at 259 characters, the most a path may hold.
        const size_t want = 259 - std::strlen("\\kuvex.exe");
        while (path.size() < want) {
            const size_t room = want - path.size() - 1;
            path += "\\" + NameOf(room < 100 ? room : 100, 'd');
        }
    }
    MakeFolders(path);
    for (const char *name : {"kuvex.exe", "ball.bmp", "kuvex.ini", "kuvex.rec"})
        MoveFileA(dir.File(name).c_str(), (path + "\\" + name).c_str());
    return path;
}

struct Outcome
{
    bool started = false;
    std::string turn = "-";
    int rows = -1;
    int exitCode = -2;
    size_t kept = 0, whole = 0;
    DWORD ms = 0;
};

Outcome RunCase(const Case &c)
{
    Outcome out;
    const DWORD t0 = GetTickCount();
    Folder dir("hostile");
    dir.AddGame(c.ball == "<good>");
    Put(dir.File("kuvex.ini"), c.ini);
    Put(dir.File("kuvex.rec"), c.rec);
    if (c.ball == "<half>") {
        const std::string good = ReadFileBytes(BuildDir() + "\\ball.bmp");
        WriteFileBytes(dir.File("ball.bmp"), good.substr(0, good.size() / 2));
    } else if (c.ball != "<good>") {
        Put(dir.File("ball.bmp"), c.ball);
    }
    size_t whole = 0;
    const bool recIsFile = c.rec != NO_FILE && c.rec != A_FOLDER;
    out.whole = recIsFile ? Records(c.rec, &whole).size() : 0;
    const std::string before = recIsFile ? c.rec.substr(0, whole) : "";

    std::string where = dir.path();
    if (c.setUp) {
        const std::string shape = c.setUp(dir);
        if (!shape.empty()) where = NestedFolder(dir, shape);
    }
    const std::string exe = where + "\\kuvex.exe";
    {
        Game game;
        out.started = c.commandLine.empty() ? game.Start(exe, where, c.args)
                                            : game.StartWithCommandLine(exe, where, c.commandLine);
        EXPECT_TRUE(out.started) << "started";
        if (out.started) {
            if (HWND over = game.WaitDialog("Конец игры", 0)) // an opening without a move
                PostMessageA(over, WM_COMMAND, IDOK, 0);
            game.WaitDialogGone("Конец игры");
            Board seen;
            if (game.ReadWholeBoard(seen, 300)) {
                int a = 0, b = 0;
                std::string why;
                const Game::Turn turn = game.PlayTurn(&a, &b, &why);
                out.turn = turn == Game::PLAYED ? "played" : turn == Game::NO_MOVE ? "no move" : "FAILED";
                EXPECT_NE(turn, Game::FAILED) << why;
                if (turn == Game::PLAYED) {
                    EXPECT_GE(b, a + 3);
                }
            } else {
                // Pieces not drawn (or not in plain colours): a selection and
                // a neighbour, and the window must still answer.
                game.ClickCell(3, 3);
                game.ClickCell(3, 4);
                out.turn = game.Answering() ? "clicked" : "NO ANSWER";
                EXPECT_EQ(out.turn, "clicked");
            }
            if (HWND over = game.WaitDialog("Конец игры", 0)) {
                PostMessageA(over, WM_COMMAND, IDOK, 0);
                game.WaitDialogGone("Конец игры");
            }
            PostMessageA(game.main, WM_COMMAND, IDM_BEST, 0);
            // Even 10000 records are listed within seconds.
            if (HWND best = game.WaitDialog("Лучшие", 15000)) {
                out.rows = ListRowCount(GetDlgItem(best, IDC_BEST_LIST));
                PostMessageA(best, WM_COMMAND, IDOK, 0);
                EXPECT_TRUE(game.WaitDialogGone("Лучшие"));
            }
            game.Focus();
            Key(VK_F4, false, true);
            out.exitCode = game.WaitExit(20000);
        }
    }
    if (c.tearDown) c.tearDown();
    // The game may add its own record; what was whole before stays first.
    const std::string after = ReadFileBytes(where + "\\kuvex.rec");
    out.kept = after.compare(0, before.size(), before) == 0 ? out.whole : Records(after).size();
    const int expectRows = c.expectRows >= 0 ? c.expectRows : static_cast<int>(Records(after).size());
    EXPECT_EQ(out.rows, expectRows) << "rows of the best results";
    EXPECT_EQ(out.exitCode, 0);
    EXPECT_EQ(out.kept, out.whole) << "records kept";
    SetFileAttributesA(where.c_str(), FILE_ATTRIBUTE_NORMAL);
    out.ms = GetTickCount() - t0;
    return out;
}

TEST(Hostile, EveryDamagedInputStillGivesAWorkingGameAndKeepsTheRecords)
{
    const std::vector<Case> cases = Catalogue();
    ASSERT_GE(cases.size(), 40u);
    std::vector<std::string> table;
    int passed = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int failuresBefore =
            ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        const Outcome o = RunCase(c);
        const bool ok =
            ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() ==
            failuresBefore;
        passed += ok;
        char line[256];
        std::snprintf(line, sizeof line, "%-40s %-7s %-9s %6d %5d %5zu/%-5zu %6lu  %s", c.name,
                      o.started ? "yes" : "NO", o.turn.c_str(), o.rows, o.exitCode, o.kept, o.whole,
                      static_cast<unsigned long>(o.ms), ok ? "ok" : "FAILED");
        table.push_back(line);
    }
    // Printed, and kept beside the test program (ctest shows output only
    // with -V or on a failure).
    FILE *keep = std::fopen((BuildDir() + "\\hostile-table.txt").c_str(), "w");
    for (FILE *out : {stdout, keep}) {
        if (!out) continue;
        std::fprintf(out, "%-40s %-7s %-9s %6s %5s %11s %6s\n", "case", "started", "turn", "rows", "exit",
                     "records kept", "ms");
        for (const std::string &line : table)
            std::fprintf(out, "%s\n", line.c_str());
        std::fprintf(out, "%d of %zu cases ok\n", passed, cases.size());
    }
    if (keep) std::fclose(keep);
}

} // namespace

namespace {

// A record file that ends inside a record, then a whole game: its record
// must be listed as it was written, not joined to the broken bytes before it.
TEST(Hostile, AGameEndedAfterATruncatedTailIsListedWhole)
{
    Folder dir("tail");
    dir.AddGame();
    WriteFileBytes(dir.File("kuvex.ini"), PLAIN_INI);
    const std::string first = Record("Аня", 5);
    WriteFileBytes(dir.File("kuvex.rec"), first + Record("Вера", 300).substr(0, 7));
    Game game;
    ASSERT_TRUE(game.Start(dir.File("kuvex.exe"), dir.path()));
    int turns = 0;
    std::string why;
    HWND over = game.PlayGame(&turns, &why);
    ASSERT_TRUE(over) << why;
    const int final = game.TitleScore();
    PostMessageA(over, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(game.WaitDialogGone("Конец игры"));
    PostMessageA(game.main, WM_COMMAND, IDM_BEST, 0);
    HWND best = game.WaitDialog("Лучшие");
    ASSERT_TRUE(best);
    const ListContents list = ReadListView(GetDlgItem(best, IDC_BEST_LIST));
    PostMessageA(best, WM_COMMAND, IDOK, 0);
    game.WaitDialogGone("Лучшие");
    PostMessageA(game.main, WM_CLOSE, 0, 0);
    EXPECT_EQ(game.WaitExit(), 0);

    std::vector<std::string> rows;
    for (const auto &row : list.rows)
        rows.push_back(row[0] + " " + row[1]);
    std::vector<std::string> expected = {"Аня 5"};
    if (final > 5)
        expected.insert(expected.begin(), "Инкогнито " + std::to_string(final));
    else if (final > 0)
        expected.push_back("Инкогнито " + std::to_string(final));
    EXPECT_EQ(rows, expected);
    const std::string bytes = ReadFileBytes(dir.File("kuvex.rec"));
    size_t whole = 0;
    EXPECT_EQ(Records(bytes, &whole).size(), expected.size());
    EXPECT_EQ(whole, bytes.size()) << "only whole records remain";
    EXPECT_EQ(bytes.compare(0, first.size(), first), 0);
}

} // namespace
