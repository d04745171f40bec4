/* video.h - a video file encoded by ffmpeg from raw frames.

   video_open starts ffmpeg (child.h) writing a temporary file beside path
   (output_file.h), encoding as encode_args sets out; video_frame sends one
   frame as RGBA bytes, bottom row first (as render_frame_rgba reads it);
   video_close waits for ffmpeg and, when keep is true, ffmpeg ended with
   status 0 and the file holds every frame sent (video_check.h), renames the
   file into place, otherwise removes it. video_open and video_close return
   0, or 1 after one line on standard error; video_frame returns 1 without
   a word when ffmpeg stops taking frames, and video_close says why (how
   ffmpeg ended), so the cause comes out once. video_abandon, in place of
   video_close, stops ffmpeg before any frame was sent and removes its file
   without a word (the run failed for a reason already said). */
#ifndef VEXA_ENCODE_VIDEO_H
#define VEXA_ENCODE_VIDEO_H

#include "encode_args.h"

int video_open(const char* path, const encode_settings& settings);
int video_frame(const unsigned char* rgba);
int video_close(bool keep);
void video_abandon(void);

#endif
