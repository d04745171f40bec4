/* options_look.cpp - the options that change the picture: the layout
   (--adapt, --fit, --crop), --alpha, the strips' --seed, the --photo
   backdrop and the artwork's --tex directory; and their checks, with those
   of the artwork options shared with vexa-art (art_options.h), whose rows
   live there. Rows and checks as option_table.h sets out. */
#include "option_table.h"
#include "output_file.h"

#include <deque>

/* --adapt, --fit and --crop each name the whole layout: one at most. */
static bool set_layout(parse_state* s, stage_mode mode, const char* name)
{
    if (s->layout_option && !s->layout_clash && mode != s->o->layout)
        s->layout_clash = name;
    if (!s->layout_option)
        s->layout_option = name;
    s->o->layout = mode;
    return true;
}

static bool set_adapt(parse_state* s, const char*)
{
    return set_layout(s, stage_adapt, "--adapt");
}

static bool set_fit(parse_state* s, const char*)
{
    return set_layout(s, stage_fit, "--fit");
}

static bool set_crop(parse_state* s, const char*)
{
    return set_layout(s, stage_crop, "--crop");
}

static bool set_alpha(parse_state* s, const char*)
{
    s->o->alpha = true;
    return true;
}

static bool set_seed(parse_state* s, const char* v)
{
    unsigned long n;
    if (!read_number(v, 0, UINT32_MAX, &n))
        return false;
    s->o->seed = (uint32_t)n;
    s->o->has_seed = true;
    return true;
}

static bool set_photo(parse_state* s, const char*)
{
    s->o->photo = true;
    return true;
}

/* A directory's path as messages show it: "a//b/" is "a/b". The texts
   stay for the program's life, as argv's do. */
static const char* tidy_dir(const char* path)
{
    static std::deque<std::string> kept;
    kept.push_back(tidy_path(path));
    return kept.back().c_str();
}

static bool set_tex(parse_state* s, const char* v)
{
    s->o->tex_dir = tidy_dir(v);
    return *v != '\0';
}

static const option_row rows[] = {
    {80, "adapt", 0, NULL, "lay the show out for the frame's shape, 9:21 to 21:9 (the default)", NULL, set_adapt,
     "layout=adapt"},
    {90, "fit", 0, NULL, "the classic 4:3 picture whole inside the frame, black bars beside it", NULL, set_fit, "layout=fit"},
    {100, "crop", 0, NULL, "the classic picture across the frame's width, as the window shows it\n(a wide frame crops its top and bottom)", NULL, set_crop,
     "layout=crop"},
    {140, "alpha", 0, NULL, "the closing without a backdrop, with straight alpha, fading to\ntransparent (.mov ProRes 4444, .webm VP9, PNG; the leader stays opaque)",
     NULL, set_alpha},
    {190, "seed", 0, "N", "layout of the caption strips (default: from the clock)",
     "--seed wants a number from 0 to " + num(UINT32_MAX), set_seed, "seed"},
    {200, "photo", 0, NULL, "show the photo backdrop (as VEXA_PHOTO does)", NULL, set_photo, "photo.show"},
    {220, "tex", 0, "DIR", "the artwork: DIR/tex when that is a directory, else DIR\n(default: ./tex, else beside the program, else the\ninstalled ../share/vexa/tex beside it)", "--tex wants a directory", set_tex, nullptr, file_read},
};
const option_group look_options = {rows, sizeof rows / sizeof rows[0]};

check_result check_layout(parse_state* s)
{
    if (s->layout_clash)
        return option_fail(std::string(s->layout_option) + " and " + s->layout_clash + " exclude each other", NULL);
    return check_next;
}

check_result check_photo(parse_state* s)
{
    if (s->o->art.photo)
        s->o->photo = true;  // --photo-image shows the backdrop it makes
    return check_next;
}

check_result check_artwork(parse_state* s)
{
    const capture_options* o = s->o;
    if (o->own_art && o->tex_dir)
        return option_fail("--tex and the artwork options (--title, --line, --photo-image ...) exclude each other", NULL);
    size_t lines = 0;
    for (const art_line& l : o->art_lines)
        lines += !l.from_file;
    if (lines > art_max_lines)
        return option_fail("at most " + std::to_string(art_max_lines) + " lines are shown, " + std::to_string(lines) + " given",
                           NULL);
    return check_next;
}

check_result check_alpha(parse_state* s)
{
    const capture_options* o = s->o;
    if (o->alpha && (o->kind == kind_mp4 || o->kind == kind_mkv))
        return option_fail("--alpha wants .mov, .webm, .png or a directory (H.264 has no alpha), not", o->out);
    if (o->alpha && s->sheet)
        return option_fail("--alpha is not for the contact sheet", NULL);
    if (o->alpha && o->photo)
        return option_fail("--alpha draws no backdrop: not with --photo or --photo-image", NULL);
    return check_next;
}
