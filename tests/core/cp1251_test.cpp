// The program's 1251 texts made wide for the platform and back.
#include <gtest/gtest.h>

#include <string>

#include "ui/cp1251.h"

namespace {

using W = std::wstring;
using S = std::string;

// Every byte 0x80..0xFF as the code page's chart has it (0x98, no letter, as
// U+0098), ASCII as it is, and back: {bytes, wide}. The wide side is written
// out, so the compiler's own tables stand as the oracle.
TEST(Cp1251, EveryByteBothWays)
{
    S high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high += char(b);
    for (const auto &[bytes, wide] :
         {std::make_pair(" Az~" + high,
                         W(L" Az~"
                           L"ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—\x98™љ›њќћџ\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї°±Ііґµ¶·ё№є»јЅѕїАБВ"
                           L"ГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя")),
          std::make_pair(S(), W()), std::make_pair(S("Иван"), W(L"Иван"))}) {
        wchar_t w[300];
        char b[300];
        const int made = WideFrom1251(w, 300, bytes.c_str()), back = WideTo1251(b, 300, wide.c_str());
        EXPECT_EQ(std::make_tuple(made, W(w), back, S(b)),
                  std::make_tuple(int(wide.size()), wide, int(bytes.size()), bytes));
    }
}

// A letter 1251 cannot hold becomes '?', a surrogate pair one '?'; a buffer
// one short says so, holds what fits and ends it, and is never overrun.
TEST(Cp1251, LostLettersAndShortBuffers)
{
    char b[8];
    EXPECT_EQ(WideTo1251(b, 8, L"I\u00E9\xD83D\xDE00\xDC00\u4E2Dя"), 6);
    EXPECT_EQ(S(b), "I????я");
    for (size_t cap : {0, 4, 5}) {
        wchar_t w[6] = L"#####";
        char n[6] = "#####";
        const int fit = cap == 5 ? 4 : -1;
        const int made = WideFrom1251(w, cap, "Иван"), back = WideTo1251(n, cap, L"Иван");
        EXPECT_EQ(std::make_pair(made, back), std::make_pair(fit, fit));
        EXPECT_EQ(std::make_pair(W(w, 5), S(n, 5)), cap == 0 ? std::make_pair(W(L"#####"), S("#####"))
                                                    : cap == 4
                                                        ? std::make_pair(W(L"Ива\0#", 5), S("Ива\0#", 5))
                                                        : std::make_pair(W(L"Иван\0", 5), S("Иван\0", 5)));
    }
}

} // namespace
