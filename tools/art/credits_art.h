// credits_art.h - the credits roll painted into sheets (credit_sheets.h): a line
// a row, a name alone centred, a role and a name in two columns about the
// middle (mirrored when the name reads right to left).
//
//   std::vector<grey_image> sheets;  std::string why;
//   if (!paint_credits(style, doc.credits, 9.0 / 16, &sheets, &why))  ... why names the line
//
// A line whose ink does not fit a frame of the given aspect (width / height) at the
// roll's size, or that is not one line of valid UTF-8, is refused: false, nothing
// painted, why as "credits line N: ..." (or "FILE: line N: ..." when file names
// where they came from).
#pragma once

#include "show_doc.h"
#include "text.h"

#include <string>
#include <vector>

bool paint_credits(const text_style& style, const std::vector<show_credit>& credits, double aspect,
                   std::vector<grey_image>* sheets, std::string* why, const char* file = nullptr);
