// The arithmetic behind the dialog helpers, kept free of Win32 so it can be
// checked natively: where a centred dialog goes, and how far a caption's
// font is scaled to fill its control.
#pragma once
#include <cstdint>

// Start (left or top) of an extent `size` centred over the owner's span
// [ownerStart, ownerEnd); the halving truncates toward zero, so a dialog
// wider than its owner hangs over both sides evenly.
int32_t CenteredStart(int32_t ownerStart, int32_t ownerEnd, int32_t size);

// The start nearest `start` that keeps [start, start + size) inside
// [lo, hi); an extent larger than the span starts at lo, so its top or left
// edge, where the caption and the menu are, stays on the screen.
int32_t StartInside(int32_t start, int32_t size, int32_t lo, int32_t hi);

// What FitCaptionFont measures: the text's extent in the control's DC as it
// comes and the control's client size.
struct CaptionMeasure
{
    int32_t textWidth, textHeight;     // cx, cy
    int32_t clientWidth, clientHeight; // cw, ch
};

// The font scale: 96 / 71 times the smaller of ch / cy and cw / cx. No
// resolution enters: the measured text, the control and the stock font it
// scales all grew with the screen's already. 1 when any extent is zero or
// negative, so an empty text keeps the stock height rather than an
// unbounded scale.
double CaptionScale(const CaptionMeasure &m);

// lfHeight scaled by `scale`, truncated toward zero and held inside the
// 32-bit range.
int32_t ScaledFontHeight(int32_t stockHeight, double scale);
