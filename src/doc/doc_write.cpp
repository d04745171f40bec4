/* doc_write.cpp - a show_doc written back as a document (doc_load.h): only
   what differs from the default, in the order the format lists the keys;
   saved whole, as a .vexa.json or a .vexa package. */
#include "doc_load.h"
#include "doc_zip.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using json = nlohmann::ordered_json;

bool same(const show_colour& a, const show_colour& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

std::string colour_text(const show_colour& c)
{
    char text[16];
    if (c.a == 255)
        snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    else
        snprintf(text, sizeof text, "#%02x%02x%02x%02x", c.r, c.g, c.b, c.a);
    return text;
}

/* A number as the person would write it: 2, not 2.0. */
json num(double d)
{
    return d == (double)(long long)d && d > -1e15 && d < 1e15 ? json((long long)d) : json(d);
}

struct namer {
    show_doc_name_fn fn;
    void* context;
    std::string operator()(const std::string& path) const { return fn(path, context); }
};

json text_look(const show_text_look& t, const namer& name_of)
{
    json v = json::object();
    if (!t.font.empty())
        v["font"] = t.font_is_file ? name_of(t.font) : t.font;
    if (t.weight != weight_classic)
        v["weight"] = t.weight == weight_bold ? "bold" : "regular";
    if (t.has_colour)
        v["colour"] = colour_text(t.colour);
    if (t.outline.width > 0)
        v["outline"] = {{"width", num(t.outline.width)}, {"colour", colour_text(t.outline.colour)}};
    if (t.shadow.on)
        v["shadow"] = {{"dx", num(t.shadow.dx)},
                       {"dy", num(t.shadow.dy)},
                       {"blur", num(t.shadow.blur)},
                       {"colour", colour_text(t.shadow.colour)}};
    if (t.has_box)
        v["box"] = colour_text(t.box);
    if (t.size != 1)
        v["size"] = num(t.size);
    return v;
}

json document(const show_doc& d, const namer& name_of)
{
    const show_doc base;
    json v = json::object();
    v["vexa"] = (int)show_doc_format;
    if (d.has_title)
        v["title"] = d.title;
    if (d.has_subtitle)
        v["subtitle"] = d.subtitle;
    if (d.has_lines)
        v["lines"] = d.lines;
    if (!d.credits.empty()) {
        json credits = json::array();
        for (const show_credit& c : d.credits)
            credits.push_back(c.role.empty() ? json(c.name) : json::array({c.role, c.name}));
        v["credits"] = credits;
    }
    if (d.has_seed)
        v["seed"] = d.seed;
    if (d.aspect_w > 0)
        v["aspect"] = std::to_string(d.aspect_w) + ":" + std::to_string(d.aspect_h);
    if (d.layout != layout_host)
        v["layout"] = d.layout == layout_adapt ? "adapt" : d.layout == layout_fit ? "fit" : "crop";

    json photo = json::object();
    if (d.photo.show != base.photo.show || !d.photo.file.empty())
        photo["show"] = d.photo.show;
    if (!d.photo.file.empty())
        photo["file"] = name_of(d.photo.file);
    if (d.photo.focus[0] != 0.5 || d.photo.focus[1] != 0.5)
        photo["focus"] = {num(d.photo.focus[0]), num(d.photo.focus[1])};
    if (d.photo.zoom != 1)
        photo["zoom"] = num(d.photo.zoom);
    if (!photo.empty())
        v["photo"] = photo;

    const show_look& l = d.look;
    json look = json::object();
    if (l.background.gradient)
        look["background"] = {{"from", colour_text(l.background.from)},
                              {"to", colour_text(l.background.to)},
                              {"angle", num(l.background.angle)}};
    else if (!same(l.background.from, base.look.background.from))
        look["background"] = colour_text(l.background.from);
    const std::pair<const char*, const show_text_look*> texts[] = {
        {"title", &l.title}, {"subtitle", &l.subtitle}, {"lines", &l.lines}, {"credits", &l.credits}};
    for (const auto& t : texts)
        if (!t.second->classic())
            look[t.first] = text_look(*t.second, name_of);
    json card = json::object();
    if (l.has_card_paper)
        card["paper"] = colour_text(l.card_paper);
    if (l.has_card_ink)
        card["ink"] = colour_text(l.card_ink);
    if (!card.empty())
        look["card"] = card;
    if (!same(l.bar, base.look.bar))
        look["bar"] = colour_text(l.bar);
    if (!look.empty())
        v["look"] = look;

    const show_timing& t = d.timing;
    json timing = json::object();
    if (t.count_from != base.timing.count_from)
        timing["count_from"] = t.count_from;
    if (t.count_to != base.timing.count_to)
        timing["count_to"] = t.count_to;
    if (t.count_ms != base.timing.count_ms)
        timing["count_ms"] = t.count_ms;
    if (t.card != base.timing.card)
        timing["card"] = t.card == card_hold ? "hold" : "flash";
    if (t.leader != base.timing.leader)
        timing["leader"] = t.leader;
    if (t.closing_music)
        timing["closing_ms"] = "music";
    else if (t.closing_ms != base.timing.closing_ms)
        timing["closing_ms"] = t.closing_ms;
    if (!timing.empty())
        v["timing"] = timing;

    const show_sound& s = d.sound;
    json sound = json::object();
    if (!s.music.empty())
        sound["music"] = name_of(s.music);
    if (s.music_start_ms != base.sound.music_start_ms)
        sound["music_start_ms"] = s.music_start_ms;
    if (s.music_level != base.sound.music_level)
        sound["music_level"] = num(s.music_level);
    if (s.fade_in_ms != base.sound.fade_in_ms)
        sound["fade_in_ms"] = s.fade_in_ms;
    if (s.fade_out_ms != base.sound.fade_out_ms)
        sound["fade_out_ms"] = s.fade_out_ms;
    if (s.loop != base.sound.loop)
        sound["loop"] = s.loop;
    if (s.pop)
        sound["pop"] = true;
    if (s.beep)
        sound["beep"] = true;
    if (s.tone_level != base.sound.tone_level)
        sound["tone_level"] = num(s.tone_level);
    if (!sound.empty())
        v["sound"] = sound;
    return v;
}

bool ends_with_vexa(const std::string& s)
{
    if (s.size() < 5)
        return false;
    std::string tail = s.substr(s.size() - 5);
    for (char& c : tail)
        c = (char)tolower((unsigned char)c);
    return tail == ".vexa";
}

/* Relative to the document's directory. */
std::string relative_name(const std::string& path, void* context)
{
    return show_doc_relative(path, *(const std::string*)context);
}

/* Each file the package holds, under its own base name (a number before a
   name taken twice). */
struct package {
    std::vector<doc_zip_file> files;
};

std::string package_name(const std::string& path, void* context)
{
    package* p = (package*)context;
    for (const doc_zip_file& f : p->files)
        if (f.path == path)
            return f.name;
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (bool taken = true; taken;) {
        taken = name == "show.vexa.json";
        for (const doc_zip_file& f : p->files)
            taken = taken || f.name == name;
        if (taken)
            name = std::to_string(p->files.size() + 1) + "-" + name;
    }
    p->files.push_back({name, path});
    return name;
}

bool write_whole(const std::string& path, const std::string& text, std::string* why)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        *why = strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *why = strerror(errno);
            close(fd);
            return false;
        }
        done += (size_t)n;
    }
    if (close(fd) != 0) {
        *why = strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

std::string show_doc_text(const show_doc& doc, show_doc_name_fn name_of, void* context)
{
    return document(doc, {name_of, context}).dump(2) + "\n";
}

int show_doc_save(const show_doc& doc, const std::string& path, std::string* refusal)
{
    // Beside the target, so that the rename stays on one file system.
    const std::string dir = show_doc_dir_of(path);
    const size_t slash = path.rfind('/');
    const std::string temp = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "." +
                             path.substr(slash == std::string::npos ? 0 : slash + 1) + "." +
                             std::to_string((long)getpid()) + ".tmp";
    std::string why;
    bool written;
    if (ends_with_vexa(path)) {
        package p;
        const std::string text = show_doc_text(doc, package_name, &p);
        written = doc_zip_write(temp, text, p.files, &why) == 0;
    } else {
        std::string absolute_dir = dir;
        written = write_whole(temp, show_doc_text(doc, relative_name, &absolute_dir), &why);
    }
    if (written && rename(temp.c_str(), path.c_str()) != 0) {
        why = strerror(errno);
        written = false;
    }
    if (!written) {
        unlink(temp.c_str());
        *refusal = path + ": " + why;
        return 1;
    }
    return 0;
}
