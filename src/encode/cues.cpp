/* cues.cpp - see cues.h. */
#include "cues.h"
#include "name_ending.h"
#include "output_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool cues_kind(const char* path)
{
    return ends_with_nocase(path, ".vtt") || ends_with_nocase(path, ".srt");
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

int cues_write(const char* path, const std::vector<std::string>& words, const std::vector<show_credit>& credits,
               const show_timeline& tl, frame_rate rate, uint32_t from, uint32_t to)
{
    const bool vtt = ends_with_nocase(path, ".vtt");
    std::string text = vtt ? "WEBVTT\n" : "";
    int number = 0;
    auto cue = [&](const std::string& said, uint32_t start, uint32_t end) {
        const uint32_t first = frame_count(from, start, rate), stop = frame_count(from, end < to ? end : to, rate);
        if (said.empty() || first >= stop)
            return;
        text += vtt ? "\n" : (number > 0 ? "\n" : "") + std::to_string(number + 1) + "\n";
        text += stamp(first, rate, vtt ? '.' : ',') + " --> " + stamp(stop, rate, vtt ? '.' : ',') + "\n";
        text += (vtt ? escape_vtt(said) : said) + "\n";
        ++number;
    };
    // The roll has carried the captions out of the frame once it has risen a
    // frame's height.
    const uint32_t captions_end =
        tl.roll_length_ms ? tl.roll_ms + roll_lines_in_view * roll_step_ms : tl.end_ms;
    for (size_t i = 0; i < words.size() && i < 2 + show_strip_count; ++i) {
        const uint32_t start = i == 0 ? tl.captions_ms : i == 1 ? tl.second_caption_ms : tl.strip_ms[i - 2];
        cue(words[i], start, i < 2 ? captions_end : tl.throw_ms);
    }
    for (uint32_t k = 0; k < credits.size() && k < tl.roll_lines; ++k) {
        const show_credit& c = credits[k];
        cue(c.role.empty() ? c.name : c.role + " \u2014 " + c.name, credit_enters_ms(tl, k), credit_leaves_ms(tl, k));
    }
    return out_write_whole(path, text.data(), text.size());
}
