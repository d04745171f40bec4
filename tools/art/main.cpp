// vexa-art - writes a complete artwork directory for the show, from a person's own
// words and picture or with the default ones:
//   5.bmp .. 0.bmp, -1.bmp .. -3.bmp   countdown-leader number cards, 512x512, 24-bit
//   photo.bmp                          the backdrop, 1024x1024, 24-bit
//   string.bmp, string2.bmp            caption sheets, 1024x1024, 8-bit coverage
//
//   vexa-art -o DIR [--title TEXT] [--subtitle TEXT] [--line TEXT]... [--lines FILE]
//                   [--photo IMAGE] [--font FILE] [--caption-font FILE]
//
// Usage errors: a message and a hint on stderr, status 2. Failures: one line
// "vexa-art: ..." on stderr, status 1. The build makes the default artwork with it.
#include "usage.h"
#include "vexa_art.h"

#include <getopt.h>

#include <cstdio>
#include <string>

namespace {

const char* const program = "vexa-art";

void print_help()
{
    std::printf(
        "Usage: vexa-art -o DIR [OPTION]...\n"
        "Writes the twelve pictures of the show (number cards, backdrop, caption sheets)\n"
        "into DIR, created when missing. An existing DIR may hold only artwork.\n"
        "\n"
        "  -o, --out DIR            the artwork directory to write\n"
        "      --title TEXT         the first closing caption (default \"FIN\")\n"
        "      --subtitle TEXT      the second closing caption\n"
        "      --line TEXT          a caption strip; repeat for up to %d, in order\n"
        "      --lines FILE         strips from a UTF-8 file, one a line ('-': stdin)\n"
        "      --photo IMAGE        a PNG or JPEG made into the square backdrop\n"
        "      --photo-image IMAGE  the same as --photo\n"
        "      --font FILE          the strips' font\n"
        "      --caption-font FILE  both captions' font\n"
        "  -h, --help               print this help and exit\n"
        "  -V, --version            print the version and exit\n"
        "\n"
        "Texts are set as large as fits their place on the sheet; one that would need\n"
        "letters under 16 pixels is refused. Characters no font has are reported.\n"
        "Same inputs give the same bytes.\n",
        int(art_max_lines));
}

int usage_error(const std::string& message)
{
    return ::usage_error(program, message.c_str());
}

enum { opt_title = 256, opt_subtitle, opt_line, opt_lines, opt_photo, opt_font, opt_caption_font };

}  // namespace

int main(int argc, char** argv)
{
    static const option options[] = {
        {"out", required_argument, nullptr, 'o'},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {"title", required_argument, nullptr, opt_title},
        {"subtitle", required_argument, nullptr, opt_subtitle},
        {"line", required_argument, nullptr, opt_line},
        {"lines", required_argument, nullptr, opt_lines},
        {"photo", required_argument, nullptr, opt_photo},
        {"photo-image", required_argument, nullptr, opt_photo},
        {"font", required_argument, nullptr, opt_font},
        {"caption-font", required_argument, nullptr, opt_caption_font},
        {nullptr, 0, nullptr, 0},
    };
    art_texts texts;
    const char* out = nullptr;
    opterr = 0;
    int c;
    while ((c = getopt_long(argc, argv, ":o:hV", options, nullptr)) != -1) {
        switch (c) {
        case 'o': out = optarg; break;
        case 'h': print_help(); return 0;
        case 'V': std::printf("vexa-art " VEXA_VERSION "\n"); return 0;
        case opt_title: texts.title = optarg; break;
        case opt_subtitle: texts.subtitle = optarg; break;
        case opt_line:
            texts.lines.push_back(optarg);
            texts.lines_set = true;
            break;
        case opt_lines:
            if (art_read_lines(optarg, &texts, program) != 0)
                return 1;
            break;
        case opt_photo: texts.photo = optarg; break;
        case opt_font: texts.font = optarg; break;
        case opt_caption_font: texts.caption_font = optarg; break;
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
    if (texts.lines.size() > art_max_lines)
        return usage_error("at most " + std::to_string(art_max_lines) + " lines are shown, " +
                           std::to_string(texts.lines.size()) + " given");
    return art_write(out, &texts, program);
}
