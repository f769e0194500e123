#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/core/epiText.h"
#include "hostfw/ui/epiRect.h"

class epiBitmap;

// One drawing order for epiBitmap::drawCommand. Rectangles and the image are
// borrowed; a missing target means the whole bitmap, a missing clip no clip,
// a missing source rectangle the whole source image. A fresh record holds
// the pen width 1, the angle 0, the font size 10 and 360 in the measured width
// (an output of 'ntxL'); its colour is empty (transparent black).
struct epiDrawCommand {
    epiFourCC command = 0;
    const epiRect* source = nullptr;
    const epiRect* target = nullptr;
    const epiRect* clip = nullptr;
    epiColor colour{0u};
    const epiBitmap* image = nullptr;
    int penWidth = 1;
    // Degrees, clockwise on the screen.
    float angle = 0.0f;
    epiText text;
    float measuredWidth = 360.0f;
    // Points at 96 dots per inch.
    float fontSize = 10.0f;
    epiText family;
    float dashLength = 0.0f;
    // Alignment and style: 0x1 centre, 0x2 right, 0x10 bold, 0x20 italic.
    int flags = 0;
};
