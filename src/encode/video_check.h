/* video_check.h - how many video frames a finished file holds, read back
   with ffprobe, so that a capture is called done only when the video it
   promised is there.

   video_frames_in(path) counts the packets of the file's first video stream
   (one per frame; nothing is decoded; 0 when there is none). It returns
   the count; video_unreadable when ffprobe cannot read the file; or
   video_unchecked after one line on standard error when ffprobe cannot be
   run. path is handed over as a file: URL. */
#ifndef VEXA_ENCODE_VIDEO_CHECK_H
#define VEXA_ENCODE_VIDEO_CHECK_H

enum { video_unreadable = -1, video_unchecked = -2 };

long video_frames_in(const char* path);

/* Whether ffmpeg decodes every stream of the file to its end without a
   word of complaint (a file cut short does not decode whole, whatever its
   index says), and, with sound, whether it has a sound track. */
bool video_decodes_whole(const char* path, bool sound);

#endif
