/* cues.cpp - see cues.h. */
#include "cues.h"
#include "output_file.h"
#include "show_times.h"

#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

static bool ends_with(const char* path, const char* suffix)
{
    const size_t n = strlen(path), m = strlen(suffix);
    return n > m && strcasecmp(path + n - m, suffix) == 0;
}

bool cues_kind(const char* path)
{
    return ends_with(path, ".vtt") || ends_with(path, ".srt");
}

/* 00:00:01.234 (WebVTT) or 00:00:01,234 (SubRip) for frame k's start. */
static std::string stamp(uint32_t k, frame_rate rate, char comma)
{
    const uint64_t ms = ((uint64_t)k * 1000 * rate.den * 2 + rate.num) / ((uint64_t)rate.num * 2);
    char text[32];
    snprintf(text, sizeof text, "%02u:%02u:%02u%c%03u", (unsigned)(ms / 3600000), (unsigned)(ms / 60000 % 60),
             (unsigned)(ms / 1000 % 60), comma, (unsigned)(ms % 1000));
    return text;
}

/* WebVTT's three reserved characters as references. */
static std::string escape_vtt(const std::string& words)
{
    std::string out;
    for (char c : words)
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    return out;
}

int cues_write(const char* path, const std::vector<std::string>& words, frame_rate rate, uint32_t from, uint32_t to)
{
    const bool vtt = ends_with(path, ".vtt");
    std::string text = vtt ? "WEBVTT\n" : "";
    int number = 0;
    for (size_t i = 0; i < words.size() && i < 2 + 7; ++i) {
        const uint32_t start = i == 0 ? show_captions_ms
                               : i == 1 ? show_second_caption_ms
                                        : show_first_strip_ms + (uint32_t)(i - 2) * show_strip_step_ms;
        const uint32_t end = i < 2 ? show_end_ms : show_throw_ms;
        const uint32_t first = frame_count(from, start, rate), stop = frame_count(from, end < to ? end : to, rate);
        if (words[i].empty() || first >= stop)
            continue;
        text += vtt ? "\n" : (number > 0 ? "\n" : "") + std::to_string(number + 1) + "\n";
        text += stamp(first, rate, vtt ? '.' : ',') + " --> " + stamp(stop, rate, vtt ? '.' : ',') + "\n";
        text += (vtt ? escape_vtt(words[i]) : words[i]) + "\n";
        ++number;
    }
    return out_write_whole(path, text.data(), text.size());
}
