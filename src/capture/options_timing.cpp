/* options_timing.cpp - the options for the show's timing (the document's
   timing.* keys) and its credits: --count-from, --count-to, --count-ms,
   --card, --no-leader, --closing-ms, --credits, and --part to render the
   leader or the closing alone; and the check that works out the show's
   timeline from them, refuses a count that runs upward, and holds --time,
   --from and --to to the show's length (--to defaulting to its end). Rows
   and checks as option_table.h sets out. */
#include "option_table.h"
#include "numeral_atlas.h"

#include <cstdlib>
#include <cstring>

/* An integer from lo to hi, a minus sign allowed. */
static bool read_signed(const char* v, long lo, long hi, long* n)
{
    const bool negative = *v == '-';
    unsigned long u;
    if (!read_number(v + negative, 0, 1000000, &u))
        return false;
    *n = negative ? -(long)u : (long)u;
    return *n >= lo && *n <= hi;
}

static bool set_count_from(parse_state* s, const char* v)
{
    long n;
    if (!read_signed(v, -99, 99, &n))
        return false;
    s->o->doc.timing.count_from = (int)n;
    return true;
}

static bool set_count_to(parse_state* s, const char* v)
{
    long n;
    if (!read_signed(v, -99, 99, &n))
        return false;
    s->o->doc.timing.count_to = (int)n;
    return true;
}

static bool set_count_ms(parse_state* s, const char* v)
{
    unsigned long n;
    if (!read_number(v, 250, 5000, &n))
        return false;
    s->o->doc.timing.count_ms = (uint32_t)n;
    return true;
}

static bool set_card(parse_state* s, const char* v)
{
    if (strcmp(v, "flash") != 0 && strcmp(v, "hold") != 0)
        return false;
    s->o->doc.timing.card = strcmp(v, "hold") == 0 ? card_hold : card_flash;
    return true;
}

static bool set_no_leader(parse_state* s, const char*)
{
    s->o->doc.timing.leader = false;
    return true;
}

static bool set_closing_ms(parse_state* s, const char* v)
{
    show_timing& t = s->o->doc.timing;
    if (strcmp(v, "music") == 0) {
        t.closing_music = true;
        return true;
    }
    unsigned long n;
    if (!read_number(v, 4000, 600000, &n))
        return false;
    t.closing_ms = (uint32_t)n;
    t.closing_music = false;
    return true;
}

static bool set_credits(parse_state* s, const char* v)
{
    s->o->credits_file = v;
    s->o->own_art = true;  // the roll's sheets are painted for the show
    return *v != '\0';
}

static bool set_part(parse_state* s, const char* v)
{
    s->part = v;
    s->span_option = "--part";
    return strcmp(v, "leader") == 0 || strcmp(v, "closing") == 0;
}

static const option_row rows[] = {
    {300, "count-from", 0, "N", "the leader's first number, -99 to 99 (default 5)",
     "--count-from wants a number from -99 to 99", set_count_from, "timing.count_from"},
    {310, "count-to", 0, "N", "the leader's last number, -99 to 99, at most --count-from (default -3)",
     "--count-to wants a number from -99 to 99", set_count_to, "timing.count_to"},
    {320, "count-ms", 0, "MS", "the length of each count, 250 to 5000 ms (default 1000)",
     "--count-ms wants a length from 250 to 5000 ms", set_count_ms, "timing.count_ms"},
    {330, "card", 0, "flash|hold", "the number card for the count's first 100 ms (flash, the default) or\nall through it, the bar over its lower edge (hold)",
     "--card wants flash or hold", set_card, "timing.card"},
    {340, "no-leader", 0, NULL, "no countdown leader: the show starts with the closing", NULL, set_no_leader,
     "timing.leader=false"},
    {350, "closing-ms", 0, "MS|music", "the closing's length, 4000 to 600000 ms (default 7000), or music: as long\nas the music; credits lengthen it to fit the roll",
     "--closing-ms wants a length from 4000 to 600000 ms, or music", set_closing_ms, "timing.closing_ms"},
    {360, "credits", 0, "FILE", "a credits roll after the closing's captions: UTF-8 text, a line a credit\n(a name, or role and name split by a tab or \" \u2014 \"), or a CSV with role,name\ncolumns; up to " + num(credits_max) + " lines",
     "--credits wants a file", set_credits, "credits", file_read},
    {370, "part", 0, "leader|closing", "render one part, whatever its length: the leader or\nthe closing (in place of --from and --to)",
     "--part wants leader or closing", set_part},
};
const option_group timing_options = {rows, sizeof rows / sizeof rows[0]};

/* One show time as given: within [lo, hi], else refused as its row's
   refusal would say for this show. */
static bool time_within(const char* option, bool given, uint32_t value, uint32_t lo, uint32_t hi)
{
    if (!given || (value >= lo && value <= hi))
        return true;
    option_fail(std::string(option) + " wants a show time from " + num(lo) + " to " + num(hi) + " ms",
                num(value).c_str());
    return false;
}

check_result check_timing(parse_state* s)
{
    capture_options* o = s->o;
    const show_timing& t = o->doc.timing;
    if (t.count_from < t.count_to)
        return option_fail("--count-from must be at least --count-to",
                           (std::to_string(t.count_from) + " < " + std::to_string(t.count_to)).c_str());
    // Numbers without a card of their own are set from the numeral atlas,
    // which the artwork painted for the show holds.
    if (t.leader && (!classic_card_number(t.count_from) || !classic_card_number(t.count_to)) && !o->tex_dir)
        o->own_art = true;
    o->time_given = s->time_text != NULL;
    o->from_given = s->from_text != NULL;
    o->to_given = s->to_text != NULL;
    o->part = s->part ? (strcmp(s->part, "leader") == 0 ? part_leader : part_closing) : part_whole;
    if (s->part && (s->from_text || s->to_text))
        return option_fail("--part and --from/--to exclude each other", NULL);
    // A credits file is read before drawing (a fault in it is status 1),
    // and a show document (--show, or one beside the artwork --tex names)
    // and the music of a show ending with it (--closing-ms music) are loaded
    // then: each may lengthen the show, so the span is settled again once
    // they are in (capture_show_open, capture_music_open), and the times
    // checked then. A batch's rows check their own.
    const bool later = o->credits_file != NULL || o->show != NULL || t.closing_music || (!o->own_art && !o->batch);
    return capture_settle_timeline(o, !later) == 0 ? check_next : check_refused;
}

int capture_settle_timeline(capture_options* o, bool check_times)
{
    o->timeline = timeline_for(o->doc.timing, o->doc.credits.size());
    const show_timeline& tl = o->timeline;
    if (o->part == part_leader && tl.counts == 0) {
        option_fail("--part leader: the show has no leader (--no-leader)", NULL);
        return 2;
    }
    if (o->part != part_whole) {
        o->from = o->part == part_leader ? 0 : tl.closing_ms;
        o->to = o->part == part_leader ? tl.closing_ms : tl.end_ms;
        return 0;
    }
    if (!o->to_given)
        o->to = tl.end_ms;
    if (check_times && (!time_within("--time", o->time_given, o->time_ms, 0, tl.last_ms) ||
                        !time_within("--from", o->from_given, o->from, 0, tl.last_ms) ||
                        !time_within("--to", o->to_given, o->to, 1, tl.end_ms)))
        return 2;
    return 0;
}
