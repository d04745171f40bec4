/* batch_done.h - whether a row's output is there already, whole, so that
   a rerun of a list skips it.

   batch_output_complete reads the row's command line (as the run would)
   and looks at every file it names: a video holds every frame of its span
   (counted by ffprobe, as a capture checks its own) and decodes to its end
   without a complaint from ffmpeg, with a sound track for --pop or --beep;
   a directory holds the span's whole set of frames (frame-00000.png on, no
   more), each decoding whole at the frame's size, and a whole audio.wav for
   --pop or --beep; a picture decodes whole (a frame at its size); the
   cues file is there. The span is worked out as the run works it out (a
   credits file read lengthens the show). A row whose command line does not
   parse is not complete: its run says why. */
#ifndef VEXA_BATCH_BATCH_DONE_H
#define VEXA_BATCH_BATCH_DONE_H

#include <string>
#include <vector>

bool batch_output_complete(const std::vector<std::string>& args);

#endif
