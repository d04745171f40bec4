/* output_kind.h - what vexa-capture writes, from the name it is given.

   output_kind_of: a name ending in "/", or the name of an existing
   directory, is a directory of PNG frames, whatever else it ends in; else
   the end of the name decides, without regard to case: ".png" a picture,
   ".mp4", ".mkv", ".webm", ".mov" a video. Anything else is kind_unknown,
   which the command line refuses. */
#ifndef VEXA_ENCODE_OUTPUT_KIND_H
#define VEXA_ENCODE_OUTPUT_KIND_H

enum output_kind { kind_unknown, kind_png, kind_directory, kind_mp4, kind_mkv, kind_webm, kind_mov };

output_kind output_kind_of(const char* name);
inline bool is_video(output_kind kind)
{
    return kind == kind_mp4 || kind == kind_mkv || kind == kind_webm || kind == kind_mov;
}

#endif
