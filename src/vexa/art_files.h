/* art_files.h - the artwork catalogue: the twelve files of an artwork
   directory, in the order the show loads them. The window program, the
   artwork generator (which writes exactly these), vexa-capture and the
   build (tools/art/CMakeLists.txt reads the names from here) share it.

     for (const char* name : my_art_files) ... tex_dir + "/" + name

   A show whose leader counts numbers without a card of their own, or that
   has credits, also needs some of the extra files: the card's ground and
   the numeral atlas (numeral_atlas.h), the credit sheets (credit_sheets.h).
   art_extra_file names them all, for a directory's check and clean-up. */
#ifndef VEXA_ART_FILES_H
#define VEXA_ART_FILES_H

enum { my_art_file_count = 12 };

inline constexpr const char* my_art_files[my_art_file_count] = {
    "5.bmp", "4.bmp", "3.bmp", "2.bmp", "1.bmp", "0.bmp", "-1.bmp", "-2.bmp", "-3.bmp",
    "photo.bmp", "string.bmp", "string2.bmp",
};

/* An artwork directory made from a show document (vexa-art --show) also
   holds the document, so that the programs loading the directory play that
   show (its look, timing and sound beside the painted pictures). */
inline constexpr const char* my_art_show_doc = "show.vexa.json";
/* The extra files: card.bmp, numerals.bmp, credits-1.bmp ... credits-14.bmp. */
enum { my_art_extra_count = 2 + 14 };

/* Extra file i's name into out (at least 16 bytes); safe in a signal handler. */
inline void art_extra_file(int i, char* out)
{
    const char* fixed = i == 0 ? "card.bmp" : i == 1 ? "numerals.bmp" : nullptr;
    if (fixed) {
        while ((*out++ = *fixed++)) {
        }
        return;
    }
    const int n = i - 1;  // credits-1 ...
    const char* head = "credits-";
    while (*head)
        *out++ = *head++;
    if (n >= 10)
        *out++ = (char)('0' + n / 10);
    *out++ = (char)('0' + n % 10);
    const char* tail = ".bmp";
    while ((*out++ = *tail++)) {
    }
}

inline bool art_extra_name(const char* name)
{
    char extra[16];
    for (int i = 0; i < my_art_extra_count; ++i) {
        art_extra_file(i, extra);
        const char *a = name, *b = extra;
        while (*a && *a == *b)
            ++a, ++b;
        if (*a == *b)
            return true;
    }
    return false;
}

#endif
