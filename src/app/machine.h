#pragma once
// This computer: its name and the desktop work area windows must stay within.

#include <QString>

#include "app/program_state.h"

namespace arbor {

// The computer's name (at most 255 characters).
QString GetPcName();

// The primary screen's available area (screen minus panels) in twips, stored in
// G().workArea and returned. Without a GUI (batch commands, tests) a 1024 x 768 pixel
// screen is assumed.
WorkArea GetWorkArea();

// Work area of a screen given in pixels, at dpiX / dpiY logical dots per inch.
WorkArea workAreaInTwips(int left, int top, int width, int height, double dpiX, double dpiY);

// Keeps a window rectangle (twips) on the work area: left and top are at least the work
// area's; a rectangle that reaches past the work area's width (height) starts at its left
// (top) and is cut to its width (height).
void FitToWorkArea(int& left, int& top, int& width, int& height, const WorkArea& area);
inline void FitToWorkArea(int& left, int& top, int& width, int& height) {
    FitToWorkArea(left, top, width, height, G().workArea);
}

}  // namespace arbor
