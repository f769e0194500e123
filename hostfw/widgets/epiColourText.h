#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/core/epiText.h"

// A colour attribute's text, "red,green,blue[,alpha]" in decimal (each
// channel limited to 0-255, alpha 255 when missing); false and the colour
// untouched when it holds fewer than three numbers.
bool epiColourFromText(const epiText& text, epiColor& colour);

// A four-character code from the first four characters of the text, padded
// with spaces.
epiFourCC epiCodeFromText(const epiText& text);
