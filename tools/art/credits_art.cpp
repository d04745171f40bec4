// credits_art.cpp - see credits_art.h.
#include "credits_art.h"

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

constexpr show_colour credit_white = {255, 255, 255, 255};

}  // namespace

bool paint_credits(const text_style& style, const show_text_look& look, const std::vector<show_credit>& credits,
                   double aspect, std::vector<credit_sheet>* sheets, std::string* why, const char* file)
{
    sheets->clear();
    const bool classic = look.classic();
    const text_fit_look fit = fit_look_of(look, credit_unit_px);
    const int side_room = fit.room.left + fit.room.right;  // the shadow's and box's, beside the ink
    // The size at which a capital is credit_cap_px tall, times the look's scale.
    const double trial = 100.0;
    const text_ink h = render_text(style, U"H", trial);
    const double px = (h.height > 0 ? trial * credit_cap_px / h.baseline : credit_cap_px / 0.73) * look.size;
    const double frame = credit_frame_px(aspect);
    const int middle = credit_sheet_width / 2, gap = credit_gap_px / 2;
    const int baseline = (credit_row_px + credit_cap_px) / 2;  // capitals centred in the row
    char ratio[32];
    snprintf(ratio, sizeof ratio, "%.3g", aspect);
    auto ink_of = [&](const std::u32string& text) {
        if (classic)
            return render_text(style, text, px);
        return render_layout(layout_text(style, text), px, fit.stroke_px);
    };

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
        const text_ink role_ink = l.alone ? text_ink{} : ink_of(role);
        const text_ink name_ink = ink_of(name);
        auto width = [&](const text_ink& ink) { return ink.width > 0 ? ink.width + side_room : 0; };
        if (width(role_ink) > room || width(name_ink) > room) {
            *why = where + ": too wide for the frame (aspect " + ratio + ") at the credits' size";
            return false;
        }
        if (look.size > 1)
            for (const text_ink* ink : {&role_ink, &name_ink})
                if (ink->width > 0 && (baseline - ink->baseline - fit.room.top < 0 ||
                                       baseline - ink->baseline + ink->height + fit.room.bottom > credit_row_px)) {
                    char size[32];
                    snprintf(size, sizeof size, "%g", look.size);
                    *why = std::string("look.credits.size: ") + size + " makes " + where + " too large for its row";
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
    sheets->resize(count);
    for (credit_sheet& s : *sheets) {
        s.rgba = !classic;
        if (classic)
            s.grey = {credit_sheet_width, credit_sheet_height,
                      std::vector<uint8_t>(size_t(credit_sheet_width) * credit_sheet_height, 0)};
        else
            s.colour = blank_rgba(credit_sheet_width, credit_sheet_height);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        credit_sheet& sheet = (*sheets)[i / credit_rows_per_sheet];
        const int top = int(i % credit_rows_per_sheet) * credit_row_px;
        const pixel_box row{0, top, credit_sheet_width, top + credit_row_px};
        const line_ink& l = lines[i];
        auto put = [&](const text_ink& ink, int x) {
            const int y = top + baseline - ink.baseline;
            if (classic) {
                stamp_ink(sheet.grey, ink, x, y, row);
                return;
            }
            fitted_text f;
            f.ink = ink;
            f.x = x;
            f.y = y;
            paint_styled(sheet.colour, f, look, credit_white, credit_unit_px, row);
        };
        if (l.alone) {
            put(l.right, middle - l.right.width / 2);
            continue;
        }
        put(l.left, middle - gap - l.left.width);
        put(l.right, middle + gap);
    }
    if (!classic)
        for (credit_sheet& s : *sheets)
            finish_rgba(s.colour);
    return true;
}

bool paint_credits(const text_style& style, const std::vector<show_credit>& credits, double aspect,
                   std::vector<grey_image>* sheets, std::string* why, const char* file)
{
    std::vector<credit_sheet> painted;
    sheets->clear();
    if (!paint_credits(style, show_text_look(), credits, aspect, &painted, why, file))
        return false;
    for (credit_sheet& s : painted)
        sheets->push_back(std::move(s.grey));
    return true;
}
