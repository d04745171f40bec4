// credits_art.h - the credits roll painted into sheets (credit_sheets.h): a line
// a row, a name alone centred, a role and a name in two columns about the
// middle (mirrored when the name reads right to left).
//
//   std::vector<credit_sheet> sheets;  std::string why;
//   if (!paint_credits(style, doc.look.credits, doc.credits, 9.0 / 16, &sheets, &why))  ... why names the line
//
// In the classic look the sheets are 8-bit coverage (grey), drawn in white; a look
// of its own (its colour, outline, shadow, box and size scale: text_look.h) paints
// 32-bit sheets (colour) that hold their colours. The look's lengths are in units
// of the show's 1024 grid as a 4:3 frame shows the roll (credit_unit_px pixels
// each). A line whose ink, with the look's outline, shadow and box, does not fit a
// frame of the given aspect (width / height) at the roll's size, or that is not
// one line of valid UTF-8, is refused: false, nothing painted, why as "credits
// line N: ..." (or "FILE: line N: ..." when file names where they came from); a
// size scale above 1 that takes a line out of its row is refused naming
// look.credits.size.
#pragma once

#include "credit_sheets.h"
#include "show_doc.h"
#include "text.h"
#include "text_look.h"

#include <string>
#include <vector>

// Row pixels per unit of the 1024 grid: a row is a twentieth of a 4:3 frame's 768.
constexpr double credit_unit_px = credit_row_px * 20 / 768.0;

struct credit_sheet {
    bool rgba = false;
    grey_image grey;     // !rgba
    rgba_image colour;   // rgba
};

bool paint_credits(const text_style& style, const show_text_look& look, const std::vector<show_credit>& credits,
                   double aspect, std::vector<credit_sheet>* sheets, std::string* why, const char* file = nullptr);

// The classic look's sheets alone.
bool paint_credits(const text_style& style, const std::vector<show_credit>& credits, double aspect,
                   std::vector<grey_image>* sheets, std::string* why, const char* file = nullptr);
