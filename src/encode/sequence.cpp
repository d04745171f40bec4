/* sequence.cpp - see sequence.h. */
#include "sequence.h"
#include "decimal.h"

#include <cstring>

/* The decimals that stand for the NTSC rates. */
static const struct {
    const char* text;
    frame_rate rate;
} ntsc_rates[] = {
    {"23.976", {24000, 1001}},
    {"29.97", {30000, 1001}},
    {"59.94", {60000, 1001}},
};

static uint64_t gcd(uint64_t a, uint64_t b)
{
    while (b) {
        const uint64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

/* A rate written as a fraction, a decimal or a whole number, reduced. */
static bool parse_exact_rate(const char* text, frame_rate* rate)
{
    uint64_t num = 0, den = 1;
    const char* slash = strchr(text, '/');
    const char* dot = strchr(text, '.');
    if (slash) {
        if (!read_decimal(text, (size_t)(slash - text), 7, &num) ||
            !read_decimal(slash + 1, strlen(slash + 1), 7, &den))
            return false;
    } else if (dot) {
        uint64_t whole, part;
        const size_t places = strlen(dot + 1);
        if (!read_decimal(text, (size_t)(dot - text), 4, &whole) || !read_decimal(dot + 1, places, 6, &part))
            return false;
        for (size_t i = 0; i < places; ++i)
            den *= 10;
        num = whole * den + part;
    } else if (!read_decimal(text, strlen(text), 4, &num)) {
        return false;
    }
    if (den == 0 || num < (uint64_t)min_fps * den || num > (uint64_t)max_fps * den)
        return false;
    const uint64_t g = gcd(num, den);
    rate->num = (uint32_t)(num / g);
    rate->den = (uint32_t)(den / g);
    return true;
}

bool parse_frame_rate(const char* text, frame_rate* rate)
{
    if (!text || !parse_exact_rate(text, rate))
        return false;
    // A decimal that is an NTSC rate's, however many zeros follow (29.970).
    if (strchr(text, '.'))
        for (const auto& n : ntsc_rates) {
            frame_rate decimal;
            if (parse_exact_rate(n.text, &decimal) && decimal.num == rate->num && decimal.den == rate->den)
                *rate = n.rate;
        }
    return true;
}

std::string frame_rate_text(frame_rate rate)
{
    std::string text = std::to_string(rate.num);
    if (rate.den != 1)
        text += "/" + std::to_string(rate.den);
    return text;
}

uint32_t frame_time(uint32_t from, uint32_t k, frame_rate rate)
{
    return from + (uint32_t)((uint64_t)k * 1000u * rate.den / rate.num);
}

uint32_t frame_count(uint32_t from, uint32_t to, frame_rate rate)
{
    if (to <= from)
        return 0;
    // The first k whose time reaches `to`: k * 1000 * den >= (to - from) * num.
    const uint64_t span = (uint64_t)(to - from) * rate.num, step = (uint64_t)1000u * rate.den;
    return (uint32_t)((span + step - 1) / step);
}

uint64_t frame_sample(uint32_t k, frame_rate rate, uint32_t hz)
{
    return ((uint64_t)k * hz * rate.den * 2 + rate.num) / ((uint64_t)rate.num * 2);
}
