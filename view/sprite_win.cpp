// Piece sprites: loading ball.bmp as a DIB section and making one tinted,
// scaled sprite of it in the display's own format.
#include "view/sprite.h"

#include "settings/settings.h"
#include "view/gdi.h"
#include "view/tint.h"

static_assert(sizeof(TintEntry) == sizeof(RGBQUAD), "tint entries are RGBQUADs");

namespace {

// Explicitly relative to the current directory: a bare name lets some
// LoadImageA implementations (Wine's) search the program's folder first, so
// the file checked below and the file loaded could differ.
const char kBallFile[] = ".\\ball.bmp";

uint32_t Le32(const unsigned char *p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

unsigned Le16(const unsigned char *p)
{
    return p[0] | p[1] << 8;
}

// Reads the headers of ball.bmp and accepts only what the tinting can use:
// an uncompressed 4-bit bitmap of any size whose pixel rows the file really
// holds. LoadImageA is then never handed a truncated file, a header that
// claims more than the file holds, nor anything that is not a regular file
// (a folder of that name fails CreateFileA).
bool BallFileLooksUsable()
{
    HANDLE file = CreateFileA(kBallFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    unsigned char head[14 + 40] = {};
    DWORD got = 0;
    LARGE_INTEGER size = {};
    bool read = ReadFile(file, head, sizeof head, &got, nullptr) && GetFileSizeEx(file, &size);
    CloseHandle(file);
    if (!read || got < 14 + 12 || head[0] != 'B' || head[1] != 'M') return false;

    const uint32_t dataOffset = Le32(head + 10), infoSize = Le32(head + 14);
    long long width, height;
    unsigned planes, bits;
    uint32_t compression = 0, colours = 0;
    if (infoSize == 12) { // OS/2 core header: 16-bit sizes, 3-byte colours
        width = Le16(head + 18);
        height = Le16(head + 20);
        planes = Le16(head + 22);
        bits = Le16(head + 24);
    } else if (infoSize >= 40 && infoSize <= 124 && got == sizeof head) {
        width = static_cast<int32_t>(Le32(head + 18));
        height = static_cast<int32_t>(Le32(head + 22));
        planes = Le16(head + 26);
        bits = Le16(head + 28);
        compression = Le32(head + 30);
        colours = Le32(head + 46);
    } else {
        return false;
    }
    if (height < 0) height = -height; // top-down rows
    // A short colour table would leave some indices untinted.
    if (planes != 1 || bits != 4 || compression != BI_RGB || (colours != 0 && colours != 16)) return false;
    if (width < 1 || height < 1) return false;
    // Sides are below 2^31, so a row is below 2^30 bytes and all the rows
    // below 2^61: the sum cannot overflow 64 bits.
    const long long rowBytes = (width * 4 + 31) / 32 * 4;
    return dataOffset >= 14 + infoSize && dataOffset + rowBytes * height <= size.QuadPart;
}

// The pixel size of a 4-bit DIB section (whose colour table can be
// replaced); false for anything else, a null handle included.
bool TintableSize(HBITMAP bitmap, int &width, int &height)
{
    DIBSECTION ds = {};
    if (!bitmap || GetObjectA(bitmap, sizeof ds, &ds) != static_cast<int>(sizeof ds)) return false;
    if (ds.dsBm.bmBitsPixel != 4 || ds.dsBm.bmWidth < 1 || ds.dsBm.bmHeight < 1) return false;
    width = ds.dsBm.bmWidth;
    height = ds.dsBm.bmHeight;
    return true;
}

} // namespace

HBITMAP LoadBallBitmap()
{
    if (!BallFileLooksUsable()) return nullptr;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, kBallFile, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    // The file may have changed since it was checked; what counts is the
    // section LoadImageA made. One that cannot be tinted counts as not loaded.
    int width, height;
    if (bitmap && !TintableSize(bitmap, width, height)) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    return GdiTrack(bitmap);
}

HBITMAP MakeTintedSprite(HBITMAP bitmap, HDC dc, COLORREF colour, int width, int height, int32_t gamma,
                         int32_t satur, uint32_t back)
{
    // A zero-sized sprite (a window under 8 pixels) is still a real bitmap
    // of the display's format, so every owner handles it alike.
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    GdiObject<HBITMAP> result(CreateCompatibleBitmap(dc, width, height));
    MemoryDc source(dc), target(dc);
    Selection targetSel(target.get(), result.get());

    int ballWidth, ballHeight;
    if (!TintableSize(bitmap, ballWidth, ballHeight)) {
        // No usable picture: the sprite is all background, like the corners
        // of a piece would be.
        GdiObject<HBRUSH> brush(CreateSolidBrush(BackToColorref(back)));
        RECT all = {0, 0, width, height};
        FillRect(target.get(), &all, brush.get());
        return result.release();
    }

    TintEntry table[16];
    ComputeTintTable(colour, gamma, satur, back, table);
    RGBQUAD quads[16];
    for (int i = 0; i < 16; ++i)
        quads[i] = {table[i].blue, table[i].green, table[i].red, table[i].reserved};
    Selection sourceSel(source.get(), bitmap);
    SetDIBColorTable(source.get(), 0, 16, quads);
    // The default stretch mode of a new memory DC applies on purpose: the
    // picture is drawn for enlargement, which that mode leaves crisp.
    StretchBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, ballWidth, ballHeight, SRCCOPY);
    return result.release();
}
