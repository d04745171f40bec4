// credits_art.cpp - see credits_art.h.
#include "credits_art.h"
#include "credit_sheets.h"

#include <fribidi.h>

#include <cmath>

namespace {

// Whether the text's first strong character reads right to left.
bool right_to_left(const std::u32string& text)
{
    for (char32_t c : text) {
        const FriBidiCharType t = fribidi_get_bidi_type(FriBidiChar(c));
        if (FRIBIDI_IS_STRONG(t))
            return FRIBIDI_IS_RTL(t);
    }
    return false;
}

bool decode_line(const std::string& utf8, std::u32string& out)
{
    if (!decode_utf8(utf8, out))
        return false;
    for (char32_t c : out)
        if (c < 0x20 || c == 0x7F)
            return false;
    return true;
}

}  // namespace

bool paint_credits(const text_style& style, const std::vector<show_credit>& credits, double aspect,
                   std::vector<grey_image>* sheets, std::string* why, const char* file)
{
    sheets->clear();
    // The size at which a capital is credit_cap_px tall.
    const double trial = 100.0;
    const text_ink h = render_text(style, U"H", trial);
    const double px = h.height > 0 ? trial * credit_cap_px / h.baseline : credit_cap_px / 0.73;
    const double frame = credit_frame_px(aspect);
    const int middle = credit_sheet_width / 2, gap = credit_gap_px / 2;
    const int baseline = (credit_row_px + credit_cap_px) / 2;  // capitals centred in the row
    char ratio[32];
    snprintf(ratio, sizeof ratio, "%.3g", aspect);

    struct line_ink {
        text_ink left, right;  // right alone: a name centred
        bool alone;
    };
    std::vector<line_ink> lines;
    lines.reserve(credits.size());
    for (size_t i = 0; i < credits.size(); ++i) {
        const show_credit& c = credits[i];
        const std::string where = (file ? std::string(file) + ": line " : std::string("credits line ")) +
                                  std::to_string(i + 1);
        std::u32string role, name;
        if (!decode_line(c.role, role) || !decode_line(c.name, name)) {
            *why = where + ": not one line of valid UTF-8";
            return false;
        }
        line_ink l;
        l.alone = role.empty();
        const double room = l.alone ? frame - 2 * credit_side_px : frame / 2 - gap - credit_side_px;
        const text_ink role_ink = l.alone ? text_ink{} : render_text(style, role, px);
        const text_ink name_ink = render_text(style, name, px);
        if (role_ink.width > room || name_ink.width > room) {
            *why = where + ": too wide for the frame (aspect " + ratio + ") at the credits' size";
            return false;
        }
        if (l.alone)
            l.right = name_ink;
        else if (right_to_left(name))
            l.left = name_ink, l.right = role_ink;  // the columns mirrored
        else
            l.left = role_ink, l.right = name_ink;
        lines.push_back(std::move(l));
    }
    const size_t count = credit_sheet_count(lines.size());
    sheets->assign(count, grey_image{credit_sheet_width, credit_sheet_height,
                                     std::vector<uint8_t>(size_t(credit_sheet_width) * credit_sheet_height, 0)});
    for (size_t i = 0; i < lines.size(); ++i) {
        grey_image& sheet = (*sheets)[i / credit_rows_per_sheet];
        const int top = int(i % credit_rows_per_sheet) * credit_row_px;
        const pixel_box row{0, top, credit_sheet_width, top + credit_row_px};
        const line_ink& l = lines[i];
        if (l.alone) {
            stamp_ink(sheet, l.right, middle - l.right.width / 2, top + baseline - l.right.baseline, row);
            continue;
        }
        stamp_ink(sheet, l.left, middle - gap - l.left.width, top + baseline - l.left.baseline, row);
        stamp_ink(sheet, l.right, middle + gap, top + baseline - l.right.baseline, row);
    }
    return true;
}
