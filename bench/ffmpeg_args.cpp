/* ffmpeg_args.cpp - prints, one a line, the ffmpeg command line vexa-capture
   runs for a video, so that script/bench can time ffmpeg alone on the same
   raw frames with the same settings.

     ffmpeg_args OUT.mp4 1920x1080 30     (the frames are read from standard input) */
#include "encode_args.h"

#include <cstdio>

int main(int argc, char** argv)
{
    encode_settings s = {};
    if (argc != 4 || sscanf(argv[2], "%dx%d", &s.width, &s.height) != 2 || !parse_frame_rate(argv[3], &s.rate) ||
        !is_video(s.kind = output_kind_of(argv[1]))) {
        fputs("usage: ffmpeg_args OUT.mp4|mkv|webm|mov WIDTHxHEIGHT RATE\n", stderr);
        return 2;
    }
    s.crf = -1;
    for (const std::string& a : encode_args(s, argv[1]))
        puts(a.c_str());
    return 0;
}
