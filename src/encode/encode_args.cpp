/* encode_args.cpp - see encode_args.h. */
#include "encode_args.h"

bool crf_range(output_kind kind, int* lo, int* hi)
{
    *lo = 0;
    if (kind == kind_mp4 || kind == kind_mkv)
        *hi = h264_max_crf;
    else if (kind == kind_webm)
        *hi = vp9_max_crf;
    else
        return false;
    return true;
}

std::vector<std::string> encode_args(const encode_settings& s, const std::string& path)
{
    std::vector<std::string> a = {
        "ffmpeg", "-nostdin", "-y", "-loglevel", "error",
        "-f", "rawvideo", "-pix_fmt", "rgba",
        "-s", std::to_string(s.width) + "x" + std::to_string(s.height),
        "-framerate", frame_rate_text(s.rate), "-i", "pipe:0",
    };
    const bool sound = s.pop || s.sound_input;
    if (s.sound_input)
        a.insert(a.end(), {"-f", "f32le", "-ar", "48000", "-ac", "2", "-i", s.sound_input, "-map", "0:v", "-map", "1:a"});
    else if (s.pop)
        a.insert(a.end(), {"-f", "lavfi", "-i", pop_source(*s.pop), "-map", "0:v", "-map", "1:a"});

    const bool h264 = s.kind == kind_mp4 || s.kind == kind_mkv, mov = s.kind == kind_mov;
    const char* pix_fmt = mov ? (s.alpha ? "yuva444p10le" : "yuv422p10le") : s.alpha ? "yuva420p" : "yuv420p";
    // The scale filter does the conversion itself (the format filter pins its
    // output), so the matrix and range are the ones named here. ProRes writes
    // each frame's own colour description into its frame header, so the
    // frames are labelled as well as the stream.
    std::string filter = std::string("vflip,scale=out_color_matrix=bt709:out_range=tv,format=") + pix_fmt;
    if (mov)
        filter += ",setparams=color_primaries=bt709:color_trc=bt709:colorspace=bt709:range=tv";
    a.insert(a.end(), {"-vf", filter,
                       "-color_primaries", "bt709", "-color_trc", "bt709", "-colorspace", "bt709",
                       "-color_range", "tv"});
    const std::string crf = std::to_string(s.crf >= 0 ? s.crf : h264 ? h264_default_crf : vp9_default_crf);
    if (h264)
        a.insert(a.end(), {"-c:v", "libx264", "-crf", crf});
    else if (mov)
        a.insert(a.end(), {"-c:v", "prores_ks", "-profile:v", s.alpha ? "4" : "3", "-vendor", "apl0"});  // 4444, 422 HQ
    else
        a.insert(a.end(), {"-c:v", "libvpx-vp9", "-crf", crf, "-b:v", "0", "-row-mt", "1"});

    if (sound) {
        // FLAC in Matroska: Matroska does not carry AAC's encoder delay (MP4's
        // edit list does), which would put every tone 21 ms after its frame.
        if (s.kind == kind_mp4)
            a.insert(a.end(), {"-c:a", "aac", "-b:a", "256k"});
        else if (s.kind == kind_mkv)
            a.insert(a.end(), {"-c:a", "flac"});
        else if (mov)
            a.insert(a.end(), {"-c:a", "pcm_s16le"});
        else
            a.insert(a.end(), {"-c:a", "libopus", "-b:a", "128k"});
    }
    // The same frames give the same bytes: no encoder versions, dates or
    // random ids (Matroska's and WebM's segment and track ids) in the file.
    a.insert(a.end(), {"-fflags", "+bitexact", "-flags:v", "+bitexact"});
    if (sound)
        a.insert(a.end(), {"-flags:a", "+bitexact"});
    if (s.kind == kind_mp4 || mov)
        a.insert(a.end(), {"-movflags", "+faststart"});
    if (s.timecode)
        a.insert(a.end(), {"-timecode", s.timecode});
    const char* format = s.kind == kind_mp4 ? "mp4" : s.kind == kind_mkv ? "matroska" : mov ? "mov" : "webm";
    a.insert(a.end(), {"-f", format, path});
    return a;
}
