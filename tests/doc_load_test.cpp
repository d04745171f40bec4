// doc_load_test.cpp - the show document's loader: a table of documents and what
// each gives (a value read, or the exact refusal line and status), the files it
// refuses (too large, a FIFO, bad .vexa packages), and the writer's round trip.
#include "doc_keys.h"
#include "doc_load.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace {

struct doc_case {
    const char* text;
    int status;
    const char* refusal;                      // the whole line, for a refused document
    std::function<bool(const show_doc&)> ok;  // for a loaded one
};

const doc_case cases[] = {
    {R"({"vexa": 1})", 0, "", [](const show_doc& d) { return !d.has_title && d.look.classic() && !d.has_seed; }},
    {R"({"vexa": 1, "title": "Mia", "lines": [], "seed": 4294967295})", 0, "",
     [](const show_doc& d) { return d.title == "Mia" && d.has_lines && d.lines.empty() && d.seed == 4294967295u; }},
    {R"({"vexa": 1, "look": {"title": {"colour": "#fc0", "outline": {"width": 3}}, "bar": "#11223344"}})", 0, "",
     [](const show_doc& d) {
         const show_text_look& t = d.look.title;
         return t.has_colour && t.colour.r == 255 && t.colour.g == 204 && t.colour.b == 0 && t.outline.width == 3 &&
                d.look.bar.r == 0x11 && d.look.bar.a == 0x44;
     }},
    {R"({"vexa": 1, "photo": {"focus": [0.5, 0.1], "zoom": 2}, "timing": {"closing_ms": "music"}})", 0, "",
     [](const show_doc& d) { return d.photo.focus[1] == 0.1 && d.photo.zoom == 2 && d.timing.closing_music; }},
    {R"({"vexa": 1, "credits": ["Mia", ["camera", "Jo"]], "aspect": "21:9", "layout": "fit"})", 0, "",
     [](const show_doc& d) {
         return d.credits.size() == 2 && d.credits[1].role == "camera" && d.aspect_w == 21 && d.layout == layout_fit;
     }},
    {R"({"vexa": 1, "look": {"title": {"colour": "#ggg"}}})", 2, R"(party.vexa.json: look.title.colour: "#ggg" is not a colour)", {}},
    {R"({"vexa": 2})", 2, "party.vexa.json: vexa: format 2: made by a newer vexa", {}},
    {R"({"title": "x"})", 2, R"(party.vexa.json: vexa: missing; a show document starts with "vexa": 1)", {}},
    {R"({"vexa": 1, "look": {"title": {"size": 1, "size": 2}}})", 2, "party.vexa.json: look.title.size: given twice", {}},
    {R"({"vexa": 1, "look": {"titel": {}}})", 2, "party.vexa.json: look.titel: unknown key", {}},
    {R"({"vexa": 1, "Title": "x"})", 2, "party.vexa.json: Title: unknown key", {}},
    {R"({"vexa": 1, "seed": "12"})", 2, R"(party.vexa.json: seed: "12" is not a whole number)", {}},
    {R"({"vexa": 1, "seed": 4294967296})", 2, "party.vexa.json: seed: 4294967296 is not from 0 to 4294967295", {}},
    {R"({"vexa": 1, "photo": {"zoom": 5}})", 2, "party.vexa.json: photo.zoom: 5 is not from 1 to 4", {}},
    {R"({"vexa": 1, "lines": ["a", 3]})", 2, "party.vexa.json: lines[1]: 3 is not a text", {}},
    {R"({"vexa": 1, "title": "a\u2028b"})", 2,
     R"(party.vexa.json: title: "a\u2028b" holds a line break (U+2028); give one line of text)", {}},
    {R"({"vexa": 1, "title": "a\u0000"})", 2, R"(party.vexa.json: title: "a\u0000" holds a control character (U+0000))", {}},
    {R"({"vexa": 1, "timing": {"count_from": 1, "count_to": 2}})", 2,
     "party.vexa.json: timing.count_from: 1 is below timing.count_to 2", {}},
    {R"({"vexa": 1, "photo": {"file": "missing.jpg"}})", 1,
     "party.vexa.json: photo.file: missing.jpg: No such file or directory", {}},
    {R"([1])", 2, R"(party.vexa.json: not a show document (a JSON object with "vexa": 1))", {}},
    {R"({"vexa": 1,})", 2,
     "party.vexa.json: not JSON: line 1, column 12: syntax error while parsing object key - unexpected '}'; "
     "expected string literal", {}},
    {R"({"vexa": 1, "lines": [[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]})", 2,
     "party.vexa.json: lines[0][0][0][0][0][0][0][0][0][0][0][0][0][0][0]: nested deeper than 16 levels", {}},
};

TEST(DocLoad, TableOfDocuments)
{
    for (const doc_case& c : cases) {
        SCOPED_TRACE(c.text);
        show_doc doc;
        std::string why;
        const std::string text = c.text;
        EXPECT_EQ(show_doc_parse(text.data(), text.size(), "party.vexa.json", "/nonexistent", &doc, &why), c.status);
        EXPECT_EQ(why, c.refusal);
        if (c.ok) {
            EXPECT_TRUE(c.ok(doc));
        }
    }
}

/* A scratch directory of the test's own. */
struct scratch {
    std::string dir;
    scratch()
    {
        char name[] = "/tmp/doc_load_test.XXXXXX";
        dir = mkdtemp(name);
    }
    ~scratch() { EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0); }
    std::string put(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
        return dir + "/" + name;
    }
};

std::string load_refusal(const std::string& path, int* status)
{
    show_doc doc;
    std::string why;
    *status = show_doc_load(path, &doc, &why);
    return why;
}

/* A .vexa package of the entries given (name, bytes), deflated. */
std::string package(const scratch& s, const char* file, const std::vector<std::pair<std::string, std::string>>& entries)
{
    const std::string path = s.dir + "/" + file;
    int code;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    for (const auto& e : entries) {
        const zip_int64_t i = zip_file_add(z, e.first.c_str(), zip_source_buffer(z, e.second.data(), e.second.size(), 0), 0);
        zip_set_file_compression(z, (zip_uint64_t)i, ZIP_CM_DEFLATE, 1);  // fast: the bomb is 65 MiB of zeros
    }
    zip_close(z);
    return path;
}

TEST(DocLoad, FilesRefused)
{
    scratch s;
    int status;
    const std::string big = s.put("big.vexa.json", "{\"vexa\": 1, \"title\": \"" + std::string(2 << 20, 'a') + "\"}");
    EXPECT_EQ(load_refusal(big, &status), big + ": larger than 1 MiB");
    EXPECT_EQ(status, 2);

    const std::string fifo = s.dir + "/fifo.vexa.json";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(load_refusal(fifo, &status), fifo + ": not a regular file");  // and no waiting for a writer
    EXPECT_EQ(status, 2);

    const std::string doc = R"({"vexa": 1, "photo": {"file": "sub/p.jpg"}})";
    const std::string escape = package(s, "escape.vexa", {{"show.vexa.json", doc}, {"../p.jpg", "x"}});
    EXPECT_EQ(load_refusal(escape, &status), escape + ": the entry \"../p.jpg\" names a place outside the package");
    EXPECT_EQ(status, 2);

    const std::string zeros(65 << 20, '\0');
    const std::string bomb = package(s, "bomb.vexa", {{"show.vexa.json", doc}, {"sub/p.jpg", zeros}});
    EXPECT_EQ(load_refusal(bomb, &status), bomb + ": unpacks to more than 64 MiB");
    EXPECT_EQ(status, 2);

    // A sound package: its files resolve inside it, readable until the program ends.
    const std::string good = package(s, "good.vexa", {{"show.vexa.json", doc}, {"sub/p.jpg", "jpeg"}});
    show_doc d;
    std::string why;
    ASSERT_EQ(show_doc_load(good, &d, &why), 0) << why;
    EXPECT_EQ(std::ifstream(d.photo.file).get(), 'j');
}

TEST(DocLoad, SaveThenLoadGivesTheSameDocument)
{
    scratch s;
    s.put("p.jpg", "jpeg");
    const std::string text = R"({"vexa": 1, "title": "Mia", "seed": 7, "photo": {"file": "p.jpg", "focus": [0.25, 0.1]},
        "look": {"title": {"colour": "#ffcc00", "outline": {"width": 2, "colour": "#000000"}, "weight": "bold"}},
        "timing": {"count_from": 3, "count_to": 1}, "sound": {"pop": true, "tone_level": -6.5}})";
    show_doc d;
    std::string why;
    ASSERT_EQ(show_doc_parse(text.data(), text.size(), "in", s.dir, &d, &why), 0) << why;
    for (const char* name : {"/deeper/out.vexa.json", "/out.vexa"}) {
        mkdir((s.dir + "/deeper").c_str(), 0700);
        ASSERT_EQ(show_doc_save(d, s.dir + name, &why), 0) << why;
        show_doc again;
        ASSERT_EQ(show_doc_load(s.dir + name, &again, &why), 0) << why;
        EXPECT_EQ(std::ifstream(again.photo.file).get(), 'j') << name;
        const auto same_names = [](const std::string&, void*) { return std::string("f"); };
        EXPECT_EQ(show_doc_text(again, same_names, nullptr), show_doc_text(d, same_names, nullptr)) << name;
    }
}

TEST(DocLoad, OptionsOverrideTheDocument)
{
    const std::string text = R"({"vexa": 1, "title": "Mia", "seed": 7, "layout": "crop"})";
    show_doc d;
    std::string why;
    ASSERT_EQ(show_doc_parse(text.data(), text.size(), "in", ".", &d, &why), 0);
    std::vector<show_doc_setting> settings;
    EXPECT_TRUE(doc_option_setting("title", "title", "Jo", &settings));
    EXPECT_TRUE(doc_option_setting("seed", "seed", "007", &settings));
    EXPECT_TRUE(doc_option_setting("layout=fit", "fit", nullptr, &settings));
    EXPECT_TRUE(doc_option_setting("sound.loop=false", "no-loop", nullptr, &settings));
    EXPECT_TRUE(doc_option_setting("look.title.font look.subtitle.font", "caption-font", "a.ttf", &settings));
    EXPECT_FALSE(doc_option_setting(nullptr, "size", "10x10", &settings));
    ASSERT_EQ(show_doc_apply(&d, settings, "/fonts", &why), 0) << why;
    EXPECT_EQ(d.title, "Jo");
    EXPECT_EQ(d.seed, 7u);
    EXPECT_EQ(d.layout, layout_fit);
    EXPECT_FALSE(d.sound.loop);
    EXPECT_EQ(d.look.subtitle.font, "/fonts/a.ttf");
    EXPECT_TRUE(d.look.subtitle.font_is_file);
}

// The fuzzer's seeds and every finding it made: each loads or is refused in one line.
TEST(DocLoad, FuzzCorpusReplays)
{
    int files = 0;
    for (const char* sub : {"/doc_corpus", "/doc_regressions"}) {
        const std::string dir = std::string(VEXA_FUZZ_DIR) + sub;
        DIR* d = opendir(dir.c_str());
        ASSERT_TRUE(d) << dir;
        while (const dirent* e = readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            std::ifstream in(dir + "/" + e->d_name, std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            show_doc doc;
            std::string why;
            const int status = show_doc_parse(text.data(), text.size(), e->d_name, "/nonexistent", &doc, &why);
            EXPECT_TRUE(status == 0 ? why.empty() : why.find('\n') == std::string::npos && !why.empty()) << e->d_name;
            ++files;
        }
        closedir(d);
    }
    EXPECT_GE(files, 4);
}

}  // namespace
