// Small non-copyable guards that pair every GetDC, CreateCompatibleDC,
// SelectObject and Create* of GDI objects with its release, and a tally of
// the GDI objects the program holds (Wine does not answer GetGuiResources,
// so the tests read this tally instead).
#pragma once
#include <windows.h>

// Objects created through the functions below and not yet deleted: bitmaps,
// brushes, fonts and memory DCs. Sprites owned by the board count too.
extern long g_gdiLive;

// Count an object the program now owns (null is ignored); returns it.
template <class H> H GdiTrack(H object)
{
    if (object) ++g_gdiLive;
    return object;
}
// DeleteObject on a tracked object; null is ignored.
inline void GdiDelete(HGDIOBJ object)
{
    if (object && DeleteObject(object)) --g_gdiLive;
}

// GetDC / ReleaseDC.
class WindowDc
{
  public:
    explicit WindowDc(HWND w) : wnd_(w), dc_(GetDC(w)) {}
    ~WindowDc()
    {
        if (dc_) ReleaseDC(wnd_, dc_);
    }
    WindowDc(const WindowDc &) = delete;
    WindowDc &operator=(const WindowDc &) = delete;
    HDC get() const { return dc_; }

  private:
    HWND wnd_;
    HDC dc_;
};

// CreateCompatibleDC / DeleteDC.
class MemoryDc
{
  public:
    explicit MemoryDc(HDC compatible) : dc_(CreateCompatibleDC(compatible))
    {
        if (dc_) ++g_gdiLive;
    }
    ~MemoryDc()
    {
        if (dc_ && DeleteDC(dc_)) --g_gdiLive;
    }
    MemoryDc(const MemoryDc &) = delete;
    MemoryDc &operator=(const MemoryDc &) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// SelectObject, and the displaced object selected back on leaving.
class Selection
{
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selection()
    {
        if (old_) SelectObject(dc_, old_);
    }
    Selection(const Selection &) = delete;
    Selection &operator=(const Selection &) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// Owns one GDI object (bitmap, brush, font) and deletes it on leaving,
// unless release() handed it on.
template <class H> class GdiObject
{
  public:
    // Takes a newly created object and counts it.
    explicit GdiObject(H object = nullptr) : obj_(GdiTrack(object)) {}
    // Takes an object that is already counted (from a function that returns
    // tracked objects, such as LoadBallBitmap or MakeTintedSprite).
    struct Counted
    {
    };
    GdiObject(H object, Counted) : obj_(object) {}
    ~GdiObject() { GdiDelete(obj_); }
    GdiObject(const GdiObject &) = delete;
    GdiObject &operator=(const GdiObject &) = delete;
    H get() const { return obj_; }
    H release()
    {
        H o = obj_;
        obj_ = nullptr;
        return o;
    }

  private:
    H obj_;
};
