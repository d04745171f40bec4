/* doc_parse.cpp - a show document's JSON text into a show_doc (doc_load.h):
   nlohmann's parser with a callback that refuses duplicate keys and deep
   nesting as it reads, then one reader per key that checks the type and
   range and names the key's path when it refuses. */
#include "doc_load.h"

#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using json = nlohmann::ordered_json;

enum { max_depth = 16, max_lines = 7, max_credits = 500 };

/* A refusal on its way out: the key's path and what is wrong with it. */
struct refused {
    std::string path, text;
    int status;
};

[[noreturn]] void refuse(const std::string& path, const std::string& text, int status = 2)
{
    throw refused{path, text, status};
}

std::string member(const std::string& path, const std::string& key)
{
    return path.empty() ? key : path + "." + key;
}

std::string element(const std::string& path, size_t i)
{
    return path + "[" + std::to_string(i) + "]";
}

/* A value as a refusal shows it: its JSON, cut at 40 characters. */
std::string shown(const json& v)
{
    std::string text = v.dump(-1, ' ', false, json::error_handler_t::replace);
    if (text.size() > 40) {
        size_t cut = 40;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;  // not inside a character
        text = text.substr(0, cut) + "...";
    }
    return text;
}

/* The duplicate-key and depth watch: the parser's callback keeps the path
   and the keys seen in each open object. */
struct frame {
    bool object;
    std::set<std::string> keys;
    std::string path;
    size_t next = 0;  // an array's next element
    std::string key;  // an object's current key
};

struct watch {
    std::vector<frame> open;

    std::string child_path()
    {
        if (open.empty())
            return "";
        frame& f = open.back();
        return f.object ? member(f.path, f.key) : element(f.path, f.next++);
    }

    bool operator()(int depth, json::parse_event_t event, json& parsed)
    {
        switch (event) {
        case json::parse_event_t::object_start:
        case json::parse_event_t::array_start: {
            if (depth >= max_depth)
                refuse(child_path(), "nested deeper than " + std::to_string(max_depth) + " levels");
            frame f;
            f.object = event == json::parse_event_t::object_start;
            f.path = child_path();
            open.push_back(std::move(f));
            break;
        }
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            open.pop_back();
            break;
        case json::parse_event_t::key: {
            frame& f = open.back();
            f.key = parsed.get<std::string>();
            if (!f.keys.insert(f.key).second)
                refuse(member(f.path, f.key), "given twice");
            break;
        }
        case json::parse_event_t::value:
            if (!open.empty() && !open.back().object)
                ++open.back().next;
            break;
        }
        return true;
    }
};

// --- values -----------------------------------------------------------------

const json& want_object(const json& v, const std::string& path)
{
    if (!v.is_object())
        refuse(path, shown(v) + " is not an object");
    return v;
}

/* Refuses a key of object v that is not among keys. */
void known_keys(const json& v, const std::string& path, std::initializer_list<const char*> keys)
{
    for (auto it = v.begin(); it != v.end(); ++it) {
        bool known = false;
        for (const char* k : keys)
            known = known || it.key() == k;
        if (!known)
            refuse(member(path, it.key()), "unknown key");
    }
}

bool boolean(const json& v, const std::string& path)
{
    if (!v.is_boolean())
        refuse(path, shown(v) + " is not true or false");
    return v.get<bool>();
}

std::string range_text(double lo, double hi)
{
    char text[64];
    snprintf(text, sizeof text, "from %g to %g", lo, hi);
    return text;
}

long long integer(const json& v, const std::string& path, long long lo, long long hi)
{
    if (!v.is_number_integer())
        refuse(path, shown(v) + " is not a whole number");
    if (v.is_number_unsigned() ? v.get<unsigned long long>() > (unsigned long long)hi
                               : v.get<long long>() < lo || v.get<long long>() > hi)
        refuse(path, shown(v) + " is not from " + std::to_string(lo) + " to " + std::to_string(hi));
    return v.get<long long>();
}

double number(const json& v, const std::string& path, double lo, double hi)
{
    if (!v.is_number())
        refuse(path, shown(v) + " is not a number");
    const double d = v.get<double>();
    if (!(d >= lo && d <= hi))
        refuse(path, shown(v) + " is not " + range_text(lo, hi));
    return d;
}

/* The next code point of valid UTF-8 at s[*i] (nlohmann's parser has
   checked the encoding). */
uint32_t next_code_point(const std::string& s, size_t* i)
{
    const unsigned char c = static_cast<unsigned char>(s[*i]);
    const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    uint32_t cp = extra == 0 ? c : extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
    for (int k = 1; k <= extra && *i + k < s.size(); ++k)
        cp = cp << 6 | (static_cast<unsigned char>(s[*i + k]) & 0x3F);
    *i += extra + 1;
    return cp;
}

/* A text the show sets: one line, no control characters (C0, DEL, C1 such
   as NEL) and no line or paragraph separators. */
std::string text(const json& v, const std::string& path)
{
    if (!v.is_string())
        refuse(path, shown(v) + " is not a text");
    const std::string& s = v.get_ref<const std::string&>();
    for (size_t i = 0; i < s.size();) {
        const uint32_t c = next_code_point(s, &i);
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029) {
            char code[16];
            snprintf(code, sizeof code, "U+%04X", (unsigned)c);
            refuse(path, shown(v) + " holds " +
                             (c == '\n' || c == '\r' || c == 0x85 || c == 0x2028 || c == 0x2029
                                  ? "a line break (" + std::string(code) + "); give one line of text"
                                  : "a control character (" + std::string(code) + ")"));
        }
    }
    return s;
}

/* A file name the document gives, resolved against dir. check: the file
   must be there, a regular file (status 1 otherwise). */
struct context {
    std::string dir;
    bool check_files;
};

std::string file(const json& v, const std::string& path, const context& c)
{
    const std::string name = text(v, path);
    if (name.empty())
        refuse(path, "an empty file name");
    const std::string resolved =
        name[0] == '/' || c.dir.empty() || c.dir == "." ? name : c.dir + (c.dir.back() == '/' ? "" : "/") + name;
    if (c.check_files) {
        struct stat st;
        if (stat(resolved.c_str(), &st) != 0)
            refuse(path, name + ": " + strerror(errno), 1);
        if (!S_ISREG(st.st_mode))
            refuse(path, name + ": not a regular file", 1);
    }
    return resolved;
}

int hex(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

show_colour colour(const json& v, const std::string& path)
{
    if (!v.is_string())
        refuse(path, shown(v) + " is not a colour (\"#rgb\", \"#rrggbb\" or \"#rrggbbaa\")");
    const std::string& s = v.get_ref<const std::string&>();
    const size_t n = s.size() - 1;
    bool ok = !s.empty() && s[0] == '#' && (n == 3 || n == 6 || n == 8);
    for (size_t i = 1; ok && i < s.size(); ++i)
        ok = hex(s[i]) >= 0;
    if (!ok)
        refuse(path, shown(v) + " is not a colour");
    uint8_t ch[4] = {0, 0, 0, 255};
    for (size_t k = 0; k < (n == 3 ? 3 : n / 2); ++k)
        ch[k] = n == 3 ? uint8_t(hex(s[1 + k]) * 17) : uint8_t(hex(s[1 + 2 * k]) * 16 + hex(s[2 + 2 * k]));
    return {ch[0], ch[1], ch[2], ch[3]};
}

// --- the keys -----------------------------------------------------------------

bool is_font_file(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return true;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = name.substr(dot + 1);
    for (char& ch : ext)
        ch = (char)tolower((unsigned char)ch);
    for (const char* e : {"ttf", "otf", "ttc", "otc", "pfa", "pfb", "woff", "woff2"})
        if (ext == e)
            return true;
    return false;
}

void text_look(const json& v, const std::string& path, const context& c, show_text_look* t)
{
    known_keys(want_object(v, path), path, {"font", "weight", "colour", "outline", "shadow", "box", "size"});
    for (auto it = v.begin(); it != v.end(); ++it) {
        const std::string& k = it.key();
        const std::string p = member(path, k);
        const json& x = it.value();
        if (k == "font") {
            const std::string name = text(x, p);
            if (name.empty())
                refuse(p, "an empty font name");
            t->font_is_file = is_font_file(name);
            t->font = t->font_is_file ? file(x, p, c) : name;
        } else if (k == "weight") {
            const std::string w = x.is_string() ? x.get<std::string>() : "";
            if (w != "regular" && w != "bold")
                refuse(p, shown(x) + " is not \"regular\" or \"bold\"");
            t->weight = w == "bold" ? weight_bold : weight_regular;
        } else if (k == "colour") {
            t->colour = colour(x, p);
            t->has_colour = true;
        } else if (k == "outline") {
            known_keys(want_object(x, p), p, {"width", "colour"});
            show_outline o;
            o.width = 2;  // an outline asked for without a width
            if (x.contains("width"))
                o.width = number(x["width"], member(p, "width"), 0, 16);
            if (x.contains("colour"))
                o.colour = colour(x["colour"], member(p, "colour"));
            t->outline = o;
        } else if (k == "shadow") {
            known_keys(want_object(x, p), p, {"dx", "dy", "blur", "colour"});
            show_shadow s;
            s.on = true;
            s.dx = s.dy = 4;
            s.blur = 4;
            s.colour = {0, 0, 0, 160};
            if (x.contains("dx"))
                s.dx = number(x["dx"], member(p, "dx"), -64, 64);
            if (x.contains("dy"))
                s.dy = number(x["dy"], member(p, "dy"), -64, 64);
            if (x.contains("blur"))
                s.blur = number(x["blur"], member(p, "blur"), 0, 32);
            if (x.contains("colour"))
                s.colour = colour(x["colour"], member(p, "colour"));
            t->shadow = s;
        } else if (k == "box") {
            t->box = colour(x, p);
            t->has_box = true;
        } else {
            t->size = number(x, p, 0.25, 2);
        }
    }
}

void look(const json& v, const std::string& path, const context& c, show_look* l)
{
    known_keys(want_object(v, path), path, {"background", "title", "subtitle", "lines", "credits", "card", "bar"});
    for (auto it = v.begin(); it != v.end(); ++it) {
        const std::string& k = it.key();
        const std::string p = member(path, k);
        const json& x = it.value();
        if (k == "background") {
            show_background b;
            if (x.is_object()) {
                known_keys(x, p, {"from", "to", "angle"});
                b.gradient = true;
                if (x.contains("from"))
                    b.from = colour(x["from"], member(p, "from"));
                if (x.contains("to"))
                    b.to = colour(x["to"], member(p, "to"));
                if (x.contains("angle"))
                    b.angle = number(x["angle"], member(p, "angle"), 0, 360);
            } else {
                b.from = colour(x, p);
            }
            l->background = b;
        } else if (k == "title") {
            text_look(x, p, c, &l->title);
        } else if (k == "subtitle") {
            text_look(x, p, c, &l->subtitle);
        } else if (k == "lines") {
            text_look(x, p, c, &l->lines);
        } else if (k == "credits") {
            text_look(x, p, c, &l->credits);
        } else if (k == "card") {
            known_keys(want_object(x, p), p, {"paper", "ink"});
            if (x.contains("paper")) {
                l->card_paper = colour(x["paper"], member(p, "paper"));
                l->has_card_paper = true;
            }
            if (x.contains("ink")) {
                l->card_ink = colour(x["ink"], member(p, "ink"));
                l->has_card_ink = true;
            }
        } else {
            l->bar = colour(x, p);
        }
    }
}

void photo(const json& v, const std::string& path, const context& c, show_photo* ph)
{
    known_keys(want_object(v, path), path, {"show", "file", "focus", "zoom"});
    for (auto it = v.begin(); it != v.end(); ++it) {
        const std::string& k = it.key();
        const std::string p = member(path, k);
        const json& x = it.value();
        if (k == "show") {
            ph->show = boolean(x, p);
        } else if (k == "file") {
            ph->file = file(x, p, c);
        } else if (k == "focus") {
            if (!x.is_array() || x.size() != 2)
                refuse(p, shown(x) + " is not a point [x, y]");
            ph->focus[0] = number(x[0], element(p, 0), 0, 1);
            ph->focus[1] = number(x[1], element(p, 1), 0, 1);
        } else {
            ph->zoom = number(x, p, 1, 4);
        }
    }
    if (v.contains("file") && !v.contains("show"))
        ph->show = true;  // naming a photo turns the backdrop on
}

void timing(const json& v, const std::string& path, show_timing* t)
{
    known_keys(want_object(v, path), path, {"count_from", "count_to", "count_ms", "card", "leader", "closing_ms"});
    for (auto it = v.begin(); it != v.end(); ++it) {
        const std::string& k = it.key();
        const std::string p = member(path, k);
        const json& x = it.value();
        if (k == "count_from") {
            t->count_from = (int)integer(x, p, -99, 99);
        } else if (k == "count_to") {
            t->count_to = (int)integer(x, p, -99, 99);
        } else if (k == "count_ms") {
            t->count_ms = (uint32_t)integer(x, p, 250, 5000);
        } else if (k == "card") {
            const std::string w = x.is_string() ? x.get<std::string>() : "";
            if (w != "flash" && w != "hold")
                refuse(p, shown(x) + " is not \"flash\" or \"hold\"");
            t->card = w == "hold" ? card_hold : card_flash;
        } else if (k == "leader") {
            t->leader = boolean(x, p);
        } else if (x.is_string() && x.get<std::string>() == "music") {
            t->closing_music = true;
        } else {
            if (x.is_string())
                refuse(p, shown(x) + " is not a whole number of ms or \"music\"");
            t->closing_ms = (uint32_t)integer(x, p, 4000, 600000);
            t->closing_music = false;
        }
    }
}

void sound(const json& v, const std::string& path, const context& c, show_sound* s)
{
    known_keys(want_object(v, path), path,
               {"music", "music_start_ms", "music_level", "fade_in_ms", "fade_out_ms", "loop", "pop", "beep",
                "tone_level"});
    for (auto it = v.begin(); it != v.end(); ++it) {
        const std::string& k = it.key();
        const std::string p = member(path, k);
        const json& x = it.value();
        if (k == "music")
            s->music = file(x, p, c);
        else if (k == "music_start_ms")
            s->music_start_ms = (uint32_t)integer(x, p, 0, UINT32_MAX);
        else if (k == "music_level")
            s->music_level = number(x, p, -40, -6);
        else if (k == "fade_in_ms")
            s->fade_in_ms = (uint32_t)integer(x, p, 0, 10000);
        else if (k == "fade_out_ms")
            s->fade_out_ms = (uint32_t)integer(x, p, 0, 10000);
        else if (k == "loop")
            s->loop = boolean(x, p);
        else if (k == "pop")
            s->pop = boolean(x, p);
        else if (k == "beep")
            s->beep = boolean(x, p);
        else
            s->tone_level = number(x, p, -96, 0);
    }
}

/* "W:H" from 9:21 to 21:9. */
void aspect(const json& v, const std::string& path, show_doc* d)
{
    const std::string s = v.is_string() ? v.get<std::string>() : "";
    unsigned w = 0, h = 0;
    int used = 0;
    const bool read = sscanf(s.c_str(), "%5u:%5u%n", &w, &h, &used) == 2 && (size_t)used == s.size() &&
                      s[0] >= '0' && s[0] <= '9' && s.find(": ") == std::string::npos &&
                      s.find(":+") == std::string::npos;
    if (!read || w == 0 || h == 0)
        refuse(path, shown(v) + " is not an aspect \"W:H\" (\"16:9\", \"9:16\", \"4:3\", \"1:1\")");
    if (w * 21ull < h * 9ull || w * 9ull > h * 21ull)
        refuse(path, shown(v) + " is not from 9:21 to 21:9");
    d->aspect_w = (int)w;
    d->aspect_h = (int)h;
}

/* The members of object v onto *d (everything but "vexa"). */
void members(const json& v, const context& c, show_doc* d)
{
    known_keys(v, "", {"vexa", "title", "subtitle", "lines", "credits", "seed", "aspect", "layout", "photo", "look",
                       "timing", "sound"});
    for (auto it = v.begin(); it != v.end(); ++it) {
        const std::string& k = it.key();
        const json& x = it.value();
        if (k == "vexa") {
            continue;
        } else if (k == "title") {
            d->title = text(x, k);
            d->has_title = true;
        } else if (k == "subtitle") {
            d->subtitle = text(x, k);
            d->has_subtitle = true;
        } else if (k == "lines") {
            if (!x.is_array())
                refuse(k, shown(x) + " is not a list of texts");
            if (x.size() > max_lines)
                refuse(k, std::to_string(x.size()) + " lines; at most " + std::to_string(max_lines) + " are shown");
            std::vector<std::string> lines;
            for (size_t i = 0; i < x.size(); ++i)
                lines.push_back(text(x[i], element(k, i)));
            d->lines = lines;
            d->has_lines = true;
        } else if (k == "credits") {
            if (!x.is_array())
                refuse(k, shown(x) + " is not a list of credits");
            if (x.size() > max_credits)
                refuse(k, std::to_string(x.size()) + " lines; at most " + std::to_string(max_credits));
            std::vector<show_credit> credits;
            for (size_t i = 0; i < x.size(); ++i) {
                const std::string p = element(k, i);
                if (x[i].is_array()) {
                    if (x[i].size() != 2)
                        refuse(p, shown(x[i]) + " is not a name or a [role, name] pair");
                    credits.push_back({text(x[i][0], element(p, 0)), text(x[i][1], element(p, 1))});
                } else {
                    if (!x[i].is_string())
                        refuse(p, shown(x[i]) + " is not a name or a [role, name] pair");
                    credits.push_back({"", text(x[i], p)});
                }
            }
            d->credits = credits;
        } else if (k == "seed") {
            d->seed = (uint32_t)integer(x, k, 0, UINT32_MAX);
            d->has_seed = true;
        } else if (k == "aspect") {
            aspect(x, k, d);
        } else if (k == "layout") {
            const std::string w = x.is_string() ? x.get<std::string>() : "";
            if (w != "adapt" && w != "fit" && w != "crop")
                refuse(k, shown(x) + " is not \"adapt\", \"fit\" or \"crop\"");
            d->layout = w == "adapt" ? layout_adapt : w == "fit" ? layout_fit : layout_crop;
        } else if (k == "photo") {
            photo(x, k, c, &d->photo);
        } else if (k == "look") {
            look(x, k, c, &d->look);
        } else if (k == "timing") {
            timing(x, k, &d->timing);
        } else {
            sound(x, k, c, &d->sound);
        }
    }
}

/* What holds across keys, once everything is in. */
void across(const show_doc& d)
{
    if (d.timing.count_from < d.timing.count_to)
        refuse("timing.count_from", std::to_string(d.timing.count_from) + " is below timing.count_to " +
                                        std::to_string(d.timing.count_to));
}

/* A refusal kept to one line: control characters, NEL and the line and
   paragraph separators written as \uXXXX (a key or value may hold them). */
std::string one_line(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const size_t at = i;
        const uint32_t c = next_code_point(s, &i);
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029) {
            char code[8];
            snprintf(code, sizeof code, "\\u%04x", (unsigned)c);
            out += code;
        } else {
            out.append(s, at, i - at);
        }
    }
    return out;
}

std::string line_of(const std::string& name, const refused& r)
{
    return one_line(name + ": " + (r.path.empty() ? "" : r.path + ": ") + r.text);
}

/* nlohmann's message without its prefix: "line 1, column 5: syntax error ...". */
std::string parse_message(const nlohmann::json::parse_error& e)
{
    std::string what = e.what();
    const size_t at = what.find(" parse error at ");
    if (at != std::string::npos)
        what = what.substr(at + 16);
    else if (what.compare(0, 1, "[") == 0 && what.find("] ") != std::string::npos)
        what = what.substr(what.find("] ") + 2);
    return "not JSON: " + what;
}

}  // namespace

int show_doc_parse(const char* bytes, size_t size, const std::string& name, const std::string& dir, show_doc* doc,
                   std::string* refusal, std::string* key)
{
    if (key)
        key->clear();
    if (size > show_doc_max_bytes) {
        *refusal = name + ": larger than 1 MiB";
        return 2;
    }
    try {
        watch w;
        const json v = json::parse(
            bytes, bytes + size,
            [&w](int depth, json::parse_event_t event, json& parsed) { return w(depth, event, parsed); });
        if (!v.is_object())
            refuse("", "not a show document (a JSON object with \"vexa\": 1)");
        if (!v.contains("vexa"))
            refuse("vexa", "missing; a show document starts with \"vexa\": 1");
        const json& format = v["vexa"];
        if (!format.is_number_integer() || format.get<long long>() < show_doc_format)
            refuse("vexa", shown(format) + " is not a format number (1)");
        if (format.is_number_unsigned() ? format.get<unsigned long long>() > show_doc_format
                                        : format.get<long long>() > show_doc_format)
            refuse("vexa", "format " + shown(format) + ": made by a newer vexa");
        show_doc d;
        members(v, {dir, true}, &d);
        across(d);
        *doc = std::move(d);
        return 0;
    } catch (const refused& r) {
        *refusal = line_of(name, r);
        if (key)
            *key = one_line(r.path);
        return r.status;
    } catch (const nlohmann::json::parse_error& e) {
        *refusal = name + ": " + parse_message(e);
        return 2;
    } catch (const nlohmann::json::exception& e) {
        *refusal = name + ": not a show document (" + e.what() + ")";
        return 2;
    } catch (const std::bad_alloc&) {
        *refusal = name + ": no memory to read it";
        return 1;
    }
}

int show_doc_apply(show_doc* doc, const std::vector<show_doc_setting>& settings, const std::string& dir,
                   std::string* refusal)
{
    show_doc d = *doc;
    for (const show_doc_setting& s : settings) {
        try {
            json v = json::object();
            json* at = &v;
            size_t start = 0;
            for (size_t dot; (dot = s.key.find('.', start)) != std::string::npos; start = dot + 1)
                at = &(*at)[s.key.substr(start, dot - start)];
            (*at)[s.key.substr(start)] = json::parse(s.json);
            members(v, {dir, false}, &d);
        } catch (const refused& r) {
            *refusal = one_line(s.name + ": " + r.text);
            return r.status;
        } catch (const nlohmann::json::exception& e) {
            *refusal = s.name + ": " + e.what();
            return 2;
        }
    }
    try {
        across(d);
    } catch (const refused& r) {
        *refusal = line_of("the options", r);
        return r.status;
    }
    *doc = std::move(d);
    return 0;
}
