/* video.h - a video file encoded by ffmpeg from raw frames.

   video_open starts ffmpeg writing a temporary file beside path (H.264 for
   .mp4, VP9 for .webm, both yuv420p; output_file.h); video_frame sends one
   RGB frame, top row first; video_close waits for ffmpeg and, when keep is
   true, ffmpeg ended with status 0 and the file holds every frame sent
   (video_check.h), renames the file into place, otherwise removes it. Each
   returns 0, or 1 after writing one line to standard error. ffmpeg is
   registered with interrupt.h while it runs. */
#ifndef VEXA_CAPTURE_VIDEO_H
#define VEXA_CAPTURE_VIDEO_H

int video_open(const char* path, int width, int height, int fps);
int video_frame(const unsigned char* rgb);
int video_close(bool keep);

#endif
