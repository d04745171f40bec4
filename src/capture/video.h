/* video.h - a video file encoded by ffmpeg from raw frames.

   video_open starts ffmpeg writing a temporary file beside path, encoding
   as encode_args sets out; video_frame sends one frame as RGBA bytes, bottom
   row first (as fb_render_rgba reads it); video_close waits for ffmpeg and, when everything went well and
   keep is true, renames the file into place, otherwise removes it. Each
   returns 0, or 1 after writing one line to standard error. */
#ifndef VEXA_CAPTURE_VIDEO_H
#define VEXA_CAPTURE_VIDEO_H

#include "encode_args.h"

int video_open(const char* path, const encode_settings& settings);
int video_frame(const unsigned char* rgba);
int video_close(bool keep);

#endif
