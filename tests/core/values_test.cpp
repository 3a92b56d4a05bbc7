// The record file's bytes and its reader over every cut of a file and over
// damaged spots; the "back" setting's text and a name in a settings file; a
// sprite's tint; the dialog helpers' arithmetic, the main window's title and
// the first window at each resolution; the 1251 texts made wide and back.
// All as tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/window_size.h"
#include "game/title.h"
#include "records.h"
#include "settings/back_value.h"
#include "settings/ini_text.h"
#include "ui/cp1251.h"
#include "ui/dialog_math.h"
#include "view/tint.h"

namespace {

TEST(Record, BytesCutsDamageAndTimes)
{
    const char known[] =
        "\xC8\xED\xEA\xEE\xE3\xED\xE8\xF2\xEE\0\x25\0\xD2\x07\x0C\0\x04\0\x05\0\x09\0\x03\0\x07\0\xFA";
    EXPECT_EQ(Encode("Инкогнито", 37), std::string(known, sizeof known)); // the literal's NUL ends it
    char date[RECORD_DATE_CAP];
    FormatRecordDate(kRecordTime, date, sizeof date);
    EXPECT_STREQ(date, "5.12.2002 в 9:3:7");
    // Three records, the first with a name cut to the 255 bytes the reader
    // takes, scores kept as their low 16 bits; each cut lists the whole ones
    // and has an append put a separator after the rest, past which the
    // appended record lists last and exact.
    const auto x = [](size_t n) { return std::string(n, 'x'); };
    const std::string records[3] = {Encode(x(258), 65535), Encode("", 70000), Encode("c", -1)};
    const std::string rows[3] = {x(255) + ":65535 ", ":4464 ", "c:65535 "},
                      file = records[0] + records[1] + records[2];
    for (size_t chunk : {size_t(1), size_t(7), RECORD_WINDOW}) {
        std::string listed;
        for (size_t cut = 0, whole = 0, at = 0; cut <= file.size(); ++cut) {
            if (whole < 3 && cut == at + records[whole].size()) {
                listed += rows[whole];
                at += records[whole++].size();
            }
            const std::string tail = cut > at ? "+37" : "";
            ASSERT_EQ(List(file.substr(0, cut), chunk), listed + "|" + tail) << cut << " " << chunk;
            std::vector<ScoreRecord> before;
            const std::string appended = ReadAll(file.substr(0, cut), chunk, &before) + Encode("new", 9);
            ASSERT_EQ(List(file.substr(0, cut) + appended, chunk), listed + "new:9 |") << cut << " " << chunk;
        }
    }
    // 255 bytes without a NUL are no record, whatever follows; fewer may yet be one.
    ScoreRecord r;
    const std::string nameless = x(300);
    const auto bytes = reinterpret_cast<const unsigned char *>(nameless.data());
    EXPECT_EQ(std::make_pair(DecodeRecord(bytes, 300, &r), DecodeRecord(bytes, 254, &r)),
              std::make_pair(-1, 0));
    const RecordTime bad = {2002, 13, 4, 5, 9, 3, 7, 250};
    unsigned char bar[RECORD_SEPARATOR] = {};
    const std::string separator(bar, bar + PutSeparator(bar));
    // The first record after damage carries what fits of it in front of its
    // name; damage and records with a bad time are never rows; a record's
    // leftover bytes read as a name whose "time" runs into the next record
    // are no way back; damage and tails after the last record are kept, with
    // a separator for the next record, which is passed over.
    const std::pair<std::string, std::string> damaged[] = {
        {Encode("a", 1) + x(274) + Encode("b", 2) + Encode("c", 3), "a:1 " + x(254) + "b:2 c:3 |"},
        {x(5000) + Encode(x(254) + "n", 1), x(254) + "n:1 |"},
        {x(300) + Encode("bad", 1, bad) + Encode("ok", 2) + x(1000), "ok:2 |+37"},
        {Encode("a", 1) + Encode("bad", 1, bad) + Encode("c", 3), "a:1 c:3 |"},
        {Encode("a", 1) + x(300) + Encode("b", 2).substr(16) + Encode("c", 3), "a:1 c:3 |"},
        // A record a byte short ends in the separator's 0xFF: never a row.
        {Encode("a", 1) + Encode("c", 3).substr(0, 19) + separator + Encode("b", 2), "a:1 b:2 |"},
        // A record 2 bytes short reads whole with the next one's first 2
        // bytes as its last: both are listed, the next one as written, also
        // after damage.
        {x(300) + Encode("b", 2) + Encode("Anna", 321).substr(0, 21) + Encode("B", 77) + Encode("Carl", 5),
         x(254) + "b:2 Anna:321~ B:77 Carl:5 |"},
        // After damage, a record cut 2 bytes short with the longest names
        // about it: to pass it over for the next, the reader must hold the
        // one after that whole, 566 bytes on, also when the data comes a
        // byte at a time (held short, it lists the cut one and loses "X").
        {x(300) + Encode(std::string(250, 'a'), 1).substr(0, 267) + Encode("X", 2) + Encode(x(255), 3),
         "X:2 " + x(255) + ":3 |"},
        // After damage, a "record" whose last fields are the next one's name
        // and score is passed over for that next one.
        {x(300) + std::string("\0\1\0\xD2\7\xC\0\4\0\5\0\x9\0\3\0", 15) + Encode("\7", 20), "\7:20 |"},
        {Encode("a", 1) + x(300) + Encode("b", 2) + Encode("c", 3).substr(0, 5),
         "a:1 " + x(254) + "b:2 |+37"},
        // A record a byte short reads whole with the NUL of the next, which
        // has an empty name: that one is listed too (the byte before it in
        // front of its name), whether damage or the end follows it.
        {Encode("a", 1) + Encode("b", 2).substr(0, 19) + Encode("", 3) + x(30), "a:1 b:2 \xFA:3 |+37"},
        {Encode("a", 1) + Encode("b", 2).substr(0, 19) + Encode("", 3), "a:1 b:2 \xFA:3 |"}};
    for (const auto &[data, listed] : damaged)
        for (size_t chunk : {size_t(1), size_t(7), RECORD_WINDOW})
            EXPECT_EQ(List(data, chunk), listed) << "chunk " << chunk;
    // Field (in RecordTime order), value, valid.
    const int times[][3] = {{0, 1600, 0}, {0, 1601, 1}, {0, 30827, 1}, {0, 30828, 0}, {1, 0, 0},  {1, 1, 1},
                            {1, 12, 1},   {1, 13, 0},   {2, 6, 1},     {2, 7, 0},     {3, 0, 0},  {3, 1, 1},
                            {3, 31, 1},   {3, 32, 0},   {4, 23, 1},    {4, 24, 0},    {5, 59, 1}, {5, 60, 0},
                            {6, 59, 1},   {6, 60, 0},   {7, 999, 1},   {7, 1000, 0}};
    for (auto t : times) {
        uint16_t fields[8] = {2002, 12, 4, 5, 9, 3, 7, 250};
        fields[t[0]] = uint16_t(t[1]);
        EXPECT_EQ(IsValidRecordTime(*reinterpret_cast<RecordTime *>(fields)), t[2]) << t[0] << " " << t[1];
    }
}

TEST(Values, SettingsTextsAndTint)
{
    // Texts that decode (either letter case), then texts refused.
    for (auto [text, value] :
         {std::pair{"00C80000C8", 0xC800u}, {"9F0AB0015A", 0x1B00A9Fu}, {"0f0a000019", 0xA0Fu}}) {
        uint32_t back = 0;
        EXPECT_TRUE(DecodeBackValue(text, &back) == 1 && back == value) << text;
    }
    for (const char *text : {"FF80010081", "FF800100 80", "FF8001008", "FF800100800", "", "FF80-10080"}) {
        uint32_t back = 0x12345678u;
        EXPECT_TRUE(!DecodeBackValue(text, &back) && back == 0x12345678u) << text;
    }
    // Every character as a byte's low digit, under every checksum it could
    // make: only a hex digit is taken, and as its own value.
    for (int c = 1; c < 256; ++c)
        for (int sum = 0; sum < 256; ++sum) {
            char text[16];
            snprintf(text, sizeof text, "0000000%c%02X", c, sum);
            const char digit[2] = {char(c), '\0'};
            const bool hex = isxdigit(c) && strtol(digit, nullptr, 16) == sum;
            uint32_t back = 0;
            ASSERT_EQ(DecodeBackValue(text, &back) == 1, hex) << "character " << c << ", checksum " << sum;
        }
    // A settings file and its name ("-": none): the first "name" of the first
    // [Kuvex], either case, blanks and enclosing quotes left out; a line with
    // no "=" or section with no "]" is no value.
    const std::pair<const char *, const char *> inis[] = {
        {"\r\n[Kuvex]\r\nanim=50\r\nname=Иван\r\nback=1", "Иван"},
        {"[Other]\r\nname=x\r\n[ kUVEX ]\nNAMES=y\nNAME=a b\nname=z", "a b"},
        {"[Kuvex]\r\n  name \t=  \"Иван\" \t\r\n", "Иван"},
        {"[Kuvex]\rname=\"\rname=x", "\""},
        {"[Kuvex]\r\nname\r\nname=\xC8\xEE", "\xC8\xEE"},
        {"[Kuvex]\r\nname= \t\r\n", ""},
        {"[Kuvex]\r\nanim=1\r\n \t", "-"}, // a last line of blanks: nothing read past it
        {"name=x\r\n[Kuvex]\r\nanim=1\r\n[Kuvex]\r\nname=x", "-"},
        {"[Kuvex]\r\nname", "-"},
        {"[Kuvex", "-"}};
    for (auto [text, name] : inis) {
        // Exactly the text's bytes, with nothing after them, so that a read
        // past the end is the sanitizer's to see.
        const std::vector<char> bytes(text, text + strlen(text));
        size_t begin = 0, end = 0;
        const int found = FindIniValue(bytes.data(), bytes.size(), "Kuvex", "name", &begin, &end);
        EXPECT_EQ(found ? std::string(bytes.data() + begin, bytes.data() + end) : "-", name) << text;
        EXPECT_LE(begin, end) << text;
    }
    // Either case from A to Z.
    size_t begin = 0, end = 0;
    EXPECT_EQ(FindIniValue("[AZ]\nZA=v", 9, "az", "za", &begin, &end), 1);
    // Colour, gamma, satur, channel (byte of an entry), entries 0..14; the
    // last two only an edited settings file brings (clamped to 1..14, 1..).
    const std::tuple<uint32_t, int32_t, int32_t, int, const char *> rows[] = {
        {0xFF, 6, 2, 2, "127 148 169 190 211 232 255 255 255 255 255 255 255 255 255"},
        {0xA4A4A4, 6, 2, 0, "82 95 109 123 136 150 164 174 184 194 204 214 224 234 244"},
        {0xFF, 1, 20, 2, "12 255 255 255 255 255 255 255 255 255 255 255 255 255 255"},
        {0xA4A4A4, 0, 0, 2, "164 164 170 177 183 190 196 203 209 216 222 229 235 242 248"},
        {0xA4A4A4, 15, 2, 1, "82 87 93 99 105 111 117 123 128 134 140 146 152 158 164"}};
    for (auto [colour, gamma, satur, channel, want] : rows) {
        unsigned char t[16][4]; // blue, green, red, reserved
        ComputeTintTable(colour | 0xFF000000u, gamma, satur, 0x7F112131, reinterpret_cast<TintEntry *>(t));
        std::string got = std::to_string(t[0][channel] + t[0][3] * 1000);
        for (int i = 1; i < 15; ++i)
            got += " " + std::to_string(t[i][channel] + t[i][3] * 1000);
        EXPECT_EQ(got, want) << gamma << " " << satur;
        EXPECT_EQ(0, memcmp(t[15], "\x31\x21\x11\x7F", 4)) << "the background";
    }
}

TEST(Values, DialogArithmeticTitleAndFirstWindow)
{
    // Owner's start and end, extent, start: halved toward zero, held in range.
    const int32_t starts[][4] = {{0, 100, 105, -2},
                                 {-300, -100, 50, -225},
                                 {2147483637, INT32_MAX, -INT32_MAX, INT32_MAX},
                                 {INT32_MIN, -2147483638, INT32_MAX, INT32_MIN}};
    for (auto s : starts)
        EXPECT_EQ(CenteredStart(s[0], s[1], s[2]), s[3]) << s[0] << " " << s[1] << " " << s[2];
    // Text and client extents, then 71 times the scale: 96 times the
    // smaller ratio, height or width; an extent of 0 or less keeps 1.
    const int32_t scales[][5] = {{10, 10, 40, 30, 288}, {1, 2, 3, 5, 240},   {2, 1, 5, 3, 240},
                                 {2, 2, 1, 5, 48},      {2, 2, 5, 1, 48},    {0, 16, 231, 52, 71},
                                 {72, 0, 231, 52, 71},  {72, 16, 0, 52, 71}, {72, 16, 231, 0, 71}};
    for (auto c : scales)
        EXPECT_DOUBLE_EQ(CaptionScale({c[0], c[1], c[2], c[3]}), c[4] / 71.0) << c[0] << c[1];
    // The worked case; then stock height, scale, height: truncated toward
    // zero, held in range.
    const double worked = CaptionScale({72, 16, 231, 52});
    const double heights[][3] = {
        {-11, worked, -47}, {-11, NAN, -11}, {-11, 1e300, -INT32_MAX}, {11, INFINITY, INT32_MAX}};
    for (auto h : heights)
        EXPECT_EQ(ScaledFontHeight(int32_t(h[0]), h[1]), int32_t(h[2])) << h[1];
    // Capacity, name, score, room in bytes, text: the whole form where it
    // fits, the name taken to its NUL or 254 bytes, the text cut to the
    // capacity (the longest is 302 bytes); in less room one blank a gap, then
    // the name shortened to "…", then the score alone, which always shows.
    const std::string head = "Kuvex 2002         ", gap = "            Очки: ", x(254, 'x'), y(300, 'y');
    const std::tuple<size_t, const char *, int32_t, int32_t, std::string> rows[] = {
        {TITLE_CAP, x.c_str(), INT32_MIN, INT32_MAX, head + x + gap + "-2147483648"},
        {TITLE_CAP, y.c_str(), 0, INT32_MAX, head + y.substr(0, 254) + gap + "0"},
        {38, "", 0, INT32_MAX, head + gap},
        {1, "Инкогнито", 5, INT32_MAX, ""},
        {0, "Инкогнито", 5, INT32_MAX, "unwritten"},
        {TITLE_CAP, "Ян", 7, 40, head + "Ян" + gap + "7"},
        {TITLE_CAP, "Ян", 7, 39, "Kuvex 2002 Ян Очки: 7"},
        {TITLE_CAP, "Иван", 7, 21, "Kuvex 2002 И… Очки: 7"},
        {TITLE_CAP, "Иван", 7, 20, "Kuvex 2002 … Очки: 7"},
        {TITLE_CAP, "Иван", 7, 19, "Очки: 7"}};
    const TitleWidth bytes = [](const char *text, void *) { return int32_t(strlen(text)); };
    for (auto [cap, name, points, room, text] : rows) {
        char out[TITLE_CAP] = "unwritten";
        EXPECT_EQ(FitTitle(out, cap, name, points, room, bytes, nullptr), cap ? text.size() : 0) << cap;
        EXPECT_EQ(out, text) << cap << " " << room;
    }
    // The first window at 96, 120, 144 and 192 dots per inch (the Windows
    // tests measure the fitted captions at 144 and 192): dpi, desktop width
    // and height, work area; then the window's left, top, right, bottom, for
    // a frame 16 wide and 60 high: the client square. Where 450 x 480 scaled
    // fits the work area it keeps its old top left, else it is centred in it.
    // clang-format off
    const int32_t boxes[][11] = {
        {96, 800, 600, 0, 0, 800, 600, 175, 60, 611, 540},   {0, 800, 600, 0, 0, 800, 600, 175, 60, 611, 540},
        {120, 800, 600, 0, 0, 800, 600, 119, 0, 675, 600},   {144, 800, 600, 0, 0, 800, 600, 122, 0, 678, 600},
        {192, 800, 600, 0, 0, 800, 600, 122, 0, 678, 600},   {192, 999, 999, 0, 0, 999, 999, 49, 19, 949, 963},
        {96, 800, 600, 400, 0, 800, 600, 400, 78, 800, 522}, {120, 800, 600, 0, 50, 800, 560, 167, 50, 633, 560},
        {96, 800, 600, 0, 0, 700, 500, 175, 20, 611, 500},   {192, 800, 600, 0, 0, 100, 50, 42, 0, 58, 60}};
    // clang-format on
    for (auto v : boxes) {
        const Box b = FirstWindowBox(v[0], v[1], v[2], {v[3], v[4], v[5], v[6]}, 16, 60);
        EXPECT_EQ(std::vector<int32_t>({b.left, b.top, b.right, b.bottom}),
                  std::vector<int32_t>(v + 7, v + 11));
    }
}

// Every byte 0x80..0xFF both ways against the code page's chart, written out
// (0x98, no letter, as U+0098); ASCII as it is, its last (0x7F) too; a
// letter 1251 cannot hold as '?', a surrogate pair as one (a lone low
// surrogate, even before another low one, and a high one before U+E000 or
// another high one as two); an empty text; a buffer one short says so, ends
// what fits and is never overrun.
TEST(Cp1251, Table)
{
    std::string high = " z\x7F";
    for (int b = 0x80; b <= 0xFF; ++b)
        high += char(b);
    wchar_t w[200] = L"";
    char b[200] = "";
    EXPECT_EQ(WideFrom1251(w, 200, high.c_str()), 131);
    EXPECT_EQ(std::wstring(w), L" z\x7FЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—\x98™љ›њќћџ\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї°±Ііґµ¶·ё№є»ј"
                               L"ЅѕїАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя");
    EXPECT_EQ(WideTo1251(b, 200, w), 131);
    EXPECT_EQ(b, high);
    EXPECT_EQ(WideTo1251(b, 200, L"I\u00E9\xD800\xDC00\xDBFF\xDFFF\xDC00\xDC00\u4E2D\xD800\uE000\xDBFF\xDBFFя"), 12);
    EXPECT_EQ(std::string(b), "I??????????я");
    // Each result on its own: a sum could hide two faults that cancel.
    EXPECT_EQ(WideFrom1251(w, 1, ""), 0);
    EXPECT_EQ(WideTo1251(b, 1, L""), 0);
    EXPECT_EQ(std::make_pair(w[0], b[0]), std::make_pair(L'\0', '\0'));
    wchar_t shortW[6] = L"#####";
    char shortB[6] = "#####";
    EXPECT_EQ(WideFrom1251(shortW, 0, "И"), -1);
    EXPECT_EQ(WideTo1251(shortB, 0, L"И"), -1);
    EXPECT_EQ(WideFrom1251(shortW, 4, "Иван"), -1);
    EXPECT_EQ(WideTo1251(shortB, 4, L"Иван"), -1);
    EXPECT_EQ(std::wstring(shortW, 5), std::wstring(L"Ива\0#", 5));
    EXPECT_EQ(std::string(shortB, 5), std::string("Ива\0#", 5));
}

} // namespace
