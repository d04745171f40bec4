/* options_show.cpp - the show document's options: --show FILE (a
   .vexa.json or .vexa the other options override) and --save-show FILE (the
   document for the options given; without --out, the only output); and
   their check. What they do is capture_show.h's. Rows and checks as
   option_table.h sets out. */
#include "option_table.h"

static bool set_show(parse_state* s, const char* v)
{
    s->o->show = v;
    return *v != '\0';
}

static bool set_save_show(parse_state* s, const char* v)
{
    s->o->save_show = v;
    return *v != '\0';
}

static const option_row rows[] = {
    {224, "show", 0, "FILE", "the show a document describes (.vexa.json, or a .vexa package);\nthe other options override its values",
     "--show wants a show document", set_show, nullptr, file_read},
    {226, "save-show", 0, "FILE", "write the document for these options (and the seed used):\nFILE.vexa.json, names relative to it, or FILE.vexa, a package\nwith the files it names; without --out, nothing else",
     "--save-show wants a file name", set_save_show, nullptr, file_written, true},
};
const option_group show_options = {rows, sizeof rows / sizeof rows[0]};

check_result check_show(parse_state* s)
{
    const capture_options* o = s->o;
    if (o->show && o->tex_dir)
        return option_fail("--tex and --show exclude each other", NULL);
    if (o->save_show && o->batch)
        return option_fail("--save-show writes one show, not with --batch", NULL);
    if (o->save_show && !o->out)
        return check_accept;  // the document alone
    return check_next;
}
