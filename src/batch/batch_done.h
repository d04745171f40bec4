/* batch_done.h - whether a row's output is there already, whole, so that
   a rerun of a list skips it.

   batch_output_complete reads the row's command line (as the run would)
   and looks at its output: a video holds every frame of its span (counted
   by ffprobe, as a capture checks its own); a directory holds the span's
   whole set of frames (frame-00000.png on, no more) and audio.wav with
   --pop; a picture exists (pictures are renamed into place whole). A row
   whose command line does not parse is not complete: its run says why. */
#ifndef VEXA_BATCH_BATCH_DONE_H
#define VEXA_BATCH_BATCH_DONE_H

#include <string>
#include <vector>

bool batch_output_complete(const std::vector<std::string>& args);

#endif
