// vexa-art - writes a complete artwork directory for the show, from a person's own
// words and picture or with the default ones:
//   5.bmp .. 0.bmp, -1.bmp .. -3.bmp   countdown-leader number cards, 1024x1024, 24-bit
//   photo.bmp                          the backdrop, 2048x2048, 24-bit
//   string.bmp, string2.bmp            caption sheets, 2048x2048, 8-bit coverage
// (sizes from art_sizes.h: sharp at 1920x1080 in every layout of the show)
//
//   vexa-art -o DIR [--title TEXT] [--subtitle TEXT] [--line TEXT]... [--lines FILE]
//                   [--photo IMAGE] [--font FILE] [--caption-font FILE]
//   vexa-art -o DIR --show FILE [OPTION]...   a show document's artwork (doc_load.h),
//                   the options overriding its values; DIR also holds the document
//                   (show.vexa.json), so that vexa DIR plays that show
//
// Usage errors: a message and a hint on stderr, status 2. Failures: one line
// "vexa-art: ..." on stderr, status 1; on SIGINT, SIGTERM and SIGHUP what the
// run made is removed, the old set left in place (art_output.h). The build makes the default artwork with it.
#include "art.h"
#include "art_doc.h"
#include "art_options.h"
#include "doc_keys.h"
#include "doc_load.h"
#include "photo.h"
#include "std_streams.h"
#include "usage.h"
#include "vexa_art.h"

#include <getopt.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const program = "vexa-art";
const int help_column = 27;

void print_help()
{
    std::printf(
        "Usage: vexa-art -o DIR [OPTION]...\n"
        "Writes the twelve pictures of the show (number cards, backdrop, caption sheets)\n"
        "into DIR, created when missing. An existing DIR may hold only artwork.\n"
        "\n"
        "  -o, --out DIR            the artwork directory to write\n"
        "      --show FILE          a show document (.vexa.json or .vexa); the options\n"
        "                           below override its values, and DIR holds it too\n");
    art_options_usage(stdout, help_column);
    std::printf(
        "      --photo IMAGE        the same as --photo-image\n"
        "  -h, --help               print this help and exit\n"
        "  -V, --version            print the version and exit\n"
        "\n"
        "Texts are set as large as fits their place on the sheet; one that would need\n"
        "letters under %.0f pixels is refused. Characters the fonts lack come from any\n"
        "installed font that has them; those none has are reported. A JPEG may have up\n"
        "to %lld megapixels, other images %lld. Same inputs give the same bytes.\n",
        min_letter_px / sheet_scale, max_jpeg_pixels / 1000000, max_photo_pixels / 1000000);
}

int usage_error(const std::string& message)
{
    return ::usage_error(program, message.c_str());
}

enum { opt_photo = 256, opt_show, opt_art = 512 };

std::string relative_to(const std::string& path, void* dir)
{
    return show_doc_relative(path, *(const std::string*)dir);
}

// The artwork of the document at show, with the options given over it, written
// with the document into out.
int write_show(const char* show, const char* out, const std::vector<std::pair<int, const char*>>& given,
               const std::vector<art_line>& lines)
{
    show_doc doc;
    std::string why;
    int status = show_doc_load(show, &doc, &why);
    std::vector<show_doc_setting> settings;
    for (const auto& g : given)
        doc_option_setting(art_option_rows[g.first].doc_key, art_option_rows[g.first].name, g.second, &settings);
    if (status == 0)
        status = show_doc_apply(&doc, settings, ".", &why);
    if (status != 0) {
        std::fprintf(stderr, "%s: %s\n", program, why.c_str());
        return status;
    }
    if (!lines.empty()) {  // --line and --lines replace the document's strips
        art_texts read;
        if (art_lines_read(lines, &read, program) != 0)
            return 1;
        if (read.lines.size() > art_max_lines)
            return usage_error("at most " + std::to_string(art_max_lines) + " lines are shown, " +
                               std::to_string(read.lines.size()) + " given");
        doc.lines = read.lines;
        doc.has_lines = true;
    }
    art_texts texts;
    art_texts_from_doc(doc, &texts);
    // The directory's document: the files painted into the pictures (photo,
    // font files) are there already, so it names them no more and the
    // directory plays wherever it goes; other files are named relative to it.
    show_doc beside = doc;
    beside.photo.file.clear();
    for (show_text_look* look : {&beside.look.title, &beside.look.subtitle, &beside.look.lines, &beside.look.credits})
        if (look->font_is_file) {
            look->font.clear();
            look->font_is_file = false;
        }
    std::string dir = out;
    return art_write_show(out, &texts, show_doc_text(beside, relative_to, &dir), program);
}

}  // namespace

int main(int argc, char** argv)
{
    std_streams_open();
    std::vector<option> options = {
        {"out", required_argument, nullptr, 'o'},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {"photo", required_argument, nullptr, opt_photo},
        {"show", required_argument, nullptr, opt_show},
    };
    for (int i = 0; i < art_option_count; ++i)
        options.push_back({art_option_rows[i].name, required_argument, nullptr, opt_art + i});
    options.push_back({nullptr, 0, nullptr, 0});
    art_texts texts;
    std::vector<art_line> lines;
    const char* out = nullptr;
    const char* show = nullptr;
    std::vector<std::pair<int, const char*>> given;  // the artwork options' rows and values, in order
    opterr = 0;
    int c;
    while ((c = getopt_long(argc, argv, ":o:hV", options.data(), nullptr)) != -1) {
        if (c >= opt_art && c < opt_art + art_option_count) {
            if (!art_option_take(c - opt_art, optarg, &texts, &lines))
                return usage_error(art_option_rows[c - opt_art].refusal);
            given.push_back({c - opt_art, optarg});
            continue;
        }
        switch (c) {
        case 'o': out = optarg; break;
        case 'h': print_help(); return 0;
        case 'V': std::printf("vexa-art " VEXA_VERSION "\n"); return 0;
        case opt_photo:
            if (!art_option_take(6, optarg, &texts, &lines))
                return usage_error("--photo wants a PNG or JPEG file");
            given.push_back({6, optarg});
            break;
        case opt_show:
            if (!*optarg)
                return usage_error("--show wants a show document");
            show = optarg;
            break;
        case ':': return usage_error(std::string("option '") + argv[optind - 1] + "' needs a value");
        default:
            // A short option is named by its letter, a long one as given.
            return usage_error(optopt && argv[optind - 1][1] != '-'
                                   ? std::string("unknown option '-") + char(optopt) + "'"
                                   : std::string("unknown option '") + argv[optind - 1] + "'");
        }
    }
    if (optind < argc)
        return usage_error(std::string("unexpected argument '") + argv[optind] + "'");
    if (!out)
        return usage_error("no output directory; give -o DIR");
    if (!*out)
        return usage_error("the output directory name is empty");
    if (show)
        return write_show(show, out, given, lines);
    if (art_lines_read(lines, &texts, program) != 0)
        return 1;
    if (texts.lines.size() > art_max_lines)
        return usage_error("at most " + std::to_string(art_max_lines) + " lines are shown, " +
                           std::to_string(texts.lines.size()) + " given");
    return art_write(out, &texts, program);
}
