/* cues.h - the closing's words as timed text beside a video: a WebVTT
   (.vtt) or SubRip (.srt) file, so that a player can show them as subtitles
   and a screen reader can read them.

     if (!cues_kind("credits.vtt")) ... neither ending
     cues_write("credits.vtt", words, credits, timeline, rate, 9000, 16000);

   words are the artwork's (art_shown_words): the first caption, the second,
   then the strips in order; credits the roll's lines, timeline the show's
   (show_timeline.h). Each gets one cue over the span it is on screen
   and readable: the captions from their entry to the end of the show (or
   until the roll has carried them out of the frame), a strip from its
   pop-in to the throw (after which it tumbles out of the picture), a credit
   line ("role — name", or the name) from entering the frame to leaving it. Times count from the first frame of the range [from, to); a
   cue starts at the first frame that shows it and ends at the first that
   no longer does, both clipped to the range, and a cue outside the range,
   or with no words, is left out. The file is written whole or not at all
   (output_file.h); 0, or 1 after one line naming it on standard error. */
#ifndef VEXA_ENCODE_CUES_H
#define VEXA_ENCODE_CUES_H

#include "sequence.h"
#include "show_doc.h"
#include "show_timeline.h"

#include <string>
#include <vector>

bool cues_kind(const char* path);
int cues_write(const char* path, const std::vector<std::string>& words, const std::vector<show_credit>& credits,
               const show_timeline& timeline, frame_rate rate, uint32_t from, uint32_t to);

#endif
