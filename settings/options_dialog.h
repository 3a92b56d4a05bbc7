// The Options dialog's working values and preview, visible to tests.
#pragma once
#include <cstdint>

// The values being chosen; set from g_settings at every opening, copied
// back on OK only.
extern int32_t workGamma;
extern int32_t workSatur;
extern uint32_t workBack;

// How many times the preview has been drawn (tests check when it is).
extern long g_previewDraws;
