/* name_ending.h - whether a file name ends in a given ending, in any case
   (".MP4" and ".mp4" alike), as the ending of --out, --cues and a list's
   name are read.

     if (ends_with_nocase(path, ".vtt")) ...

   The ending must be shorter than the name: ".vtt" alone does not end in
   ".vtt". */
#ifndef VEXA_NAME_ENDING_H
#define VEXA_NAME_ENDING_H

bool ends_with_nocase(const char* name, const char* ending);

#endif
