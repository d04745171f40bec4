/* art_files.h - the artwork catalogue: the twelve files of an artwork
   directory, in the order the show loads them. The window program, the
   artwork generator (which writes exactly these), vexa-capture and the
   build (tools/art/CMakeLists.txt reads the names from here) share it.

     for (const char* name : my_art_files) ... tex_dir + "/" + name */
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

#endif
