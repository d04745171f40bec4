/* encode_args.h - the ffmpeg command line for each kind of video.

   Frames arrive on standard input as raw RGBA, bottom row first (as GL reads
   them back); ffmpeg flips them and converts them with the BT.709 matrix to
   limited-range YUV, tagged BT.709 (primaries, transfer, matrix, range):
     .mp4, .mkv  H.264 yuv420p, CRF (default 18); .mp4 with its index first
     .webm       VP9 yuv420p, CRF (default 24)
     .mov        ProRes 422 HQ, 10-bit 4:2:2, index first; the frame
                 headers say BT.709 too, as the container does
   With alpha (the frames' own, straight): .mov ProRes 4444 10-bit with
   16-bit alpha, .webm VP9 yuva420p. A timecode goes into .mov and .mp4 as a
   timecode track, into .mkv as the TIMECODE tag. With a sound track (stereo):
   AAC in .mp4, FLAC in .mkv, 16-bit PCM in .mov, Opus in .webm. Every kind is
   written bit-exact: the same frames give the same bytes.

     encode_settings s = {kind_mp4, 1920, 1080, {30000, 1001}, -1, NULL, "01:00:00;00", false};
     std::vector<std::string> argv = encode_args(s, "file:out.mp4");

   The output path is passed through as given. */
#ifndef VEXA_ENCODE_ENCODE_ARGS_H
#define VEXA_ENCODE_ENCODE_ARGS_H

#include "audio_pop.h"
#include "sequence.h"
#include "output_kind.h"

#include <string>
#include <vector>

struct encode_settings {
    output_kind kind;        // one of the video kinds
    int width, height;
    frame_rate rate;
    int crf;                 // H.264 0-51, VP9 0-63; -1 for the default
    const pop_track* pop;    // the sound track, or NULL for none
    const char* timecode;    // the start timecode (.mov, .mp4, .mkv), or NULL for none
    bool alpha;              // .mov ProRes 4444 and .webm VP9 with straight alpha
    // The sound track mixed here instead (the music with the tones,
    // sound_track.h): a file ffmpeg reads as raw 48 kHz stereo f32le, or
    // NULL for the pop's own track above.
    const char* sound_input = nullptr;
};

/* Small frames carry the captions' text in few pixels: H.264 at CRF 18
   keeps the letters' edges clean where x264's default of 23 smears them;
   VP9's scale differs, and 24 looks alike there. */
enum { h264_default_crf = 18, vp9_default_crf = 24, h264_max_crf = 51, vp9_max_crf = 63 };

/* The CRF range of a kind's codec (from 0): false when the kind takes no --crf. */
bool crf_range(output_kind kind, int* lo, int* hi);
std::vector<std::string> encode_args(const encode_settings& s, const std::string& path);

#endif
