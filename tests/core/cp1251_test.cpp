// The program's 1251 texts made wide for the platform and back.
#include <gtest/gtest.h>

#include "ui/cp1251.h"

// Every byte 0x80..0xFF both ways against the code page's chart, written out
// (0x98, no letter, as U+0098); ASCII as it is; a letter 1251 cannot hold as
// '?', a surrogate pair as one; an empty text; a buffer one short says so,
// ends what fits and is never overrun.
TEST(Cp1251, Table)
{
    std::string high = " z";
    for (int b = 0x80; b <= 0xFF; ++b)
        high += char(b);
    wchar_t w[200] = L"";
    char b[200] = "";
    EXPECT_EQ(WideFrom1251(w, 200, high.c_str()), 130);
    EXPECT_EQ(std::wstring(w), L" zЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—\x98™љ›њќћџ\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї°±Ііґµ¶·ё№є»ј"
                               L"ЅѕїАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя");
    EXPECT_EQ(WideTo1251(b, 200, w), 130);
    EXPECT_EQ(b, high);
    EXPECT_EQ(WideTo1251(b, 200, L"I\u00E9\xD800\xDC00\xDBFF\xDFFF\xDC00\u4E2Dя"), 7);
    EXPECT_EQ(std::string(b), "I?????я");
    EXPECT_EQ(WideFrom1251(w, 1, "") + WideTo1251(b, 1, L"") + w[0] + b[0], 0);
    wchar_t shortW[6] = L"#####";
    char shortB[6] = "#####";
    EXPECT_EQ(WideFrom1251(shortW, 0, "И") + WideTo1251(shortB, 0, L"И"), -2);
    EXPECT_EQ(WideFrom1251(shortW, 4, "Иван") + WideTo1251(shortB, 4, L"Иван"), -2);
    EXPECT_EQ(std::wstring(shortW, 5), std::wstring(L"Ива\0#", 5));
    EXPECT_EQ(std::string(shortB, 5), std::string("Ива\0#", 5));
}
