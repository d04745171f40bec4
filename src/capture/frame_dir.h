/* frame_dir.h - the directory a numbered sequence of frames goes into.

   frame_dir_prepare makes dir when it is missing. A directory that already
   holds frames (frame-*.png) is refused, with one line naming it, unless
   force is true, which removes that set first, so that a new sequence never
   mixes with an older, longer one. Other files in it are left alone.
   Returns 0, or 1 after the line on standard error.

   frame_path gives dir/frame-NNNNN.png, the name of frame k. */
#ifndef VEXA_CAPTURE_FRAME_DIR_H
#define VEXA_CAPTURE_FRAME_DIR_H

#include <cstdint>
#include <string>

int frame_dir_prepare(const char* dir, bool force);
std::string frame_path(const char* dir, uint32_t k);

#endif
