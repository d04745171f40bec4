/* batch_progress.cpp - see batch_progress.h. */
#include "batch_progress.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>

enum { bar_width = 30 };

static size_t total, done, skipped, failed;
static double started, drawn;  // when the batch started, when the bar was last drawn
static bool terminal;

/* The length of the control character at text[i] (C0, DEL, or C1 as
   UTF-8), or 0. */
static size_t control_at(const std::string& text, size_t i)
{
    const unsigned char c = (unsigned char)text[i];
    if (c < 0x20 || c == 0x7F)
        return 1;
    const unsigned char next = i + 1 < text.size() ? (unsigned char)text[i + 1] : 0;
    return c == 0xC2 && next >= 0x80 && next <= 0x9F ? 2 : 0;
}

static void put_octal(std::string* out, unsigned char c)
{
    const char digits[] = {'\\', (char)('0' + (c >> 6)), (char)('0' + (c >> 3 & 7)), (char)('0' + (c & 7)), 0};
    *out += digits;
}

std::string batch_shown(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t n = control_at(text, i);
        if (n == 0)
            out += text[i];
        for (size_t k = 0; k < n; ++k)
            put_octal(&out, (unsigned char)text[i + k]);
        i += n ? n - 1 : 0;
    }
    return out;
}

std::string batch_quoted(const std::string& name)
{
    bool plain = true;
    for (size_t i = 0; i < name.size() && plain; ++i)
        plain = control_at(name, i) == 0;
    if (plain)
        return name;
    std::string out = "$'";
    for (size_t i = 0; i < name.size(); ++i) {
        const size_t n = control_at(name, i);
        if (n == 0 && (name[i] == '\\' || name[i] == '\''))
            out += '\\';
        if (n == 0)
            out += name[i];
        for (size_t k = 0; k < n; ++k)
            put_octal(&out, (unsigned char)name[i + k]);
        i += n ? n - 1 : 0;
    }
    return out + "'";
}

static double now(void)
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + t.tv_nsec / 1e9;
}

/* ", about M:SS left" once a row has been rendered, or nothing. */
static std::string time_left(void)
{
    const size_t rendered = done + failed, left = total - done - failed - skipped;
    if (rendered == 0 || left == 0)
        return std::string();
    const long s = (long)((now() - started) / (double)rendered * (double)left + 0.5);
    char text[48];
    snprintf(text, sizeof text, ", about %ld:%02ld left", s / 60, s % 60);
    return text;
}

static std::string counts(void)
{
    char text[96];
    snprintf(text, sizeof text, "%zu/%zu done, %zu failed", done + skipped, total, failed);
    return text + time_left();
}

static void draw_bar(void)
{
    const size_t ended = done + skipped + failed;
    const size_t width = bar_width, filled = total ? ended * width / total : width;
    char bar[bar_width + 1];
    for (size_t i = 0; i < width; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[bar_width] = '\0';
    fprintf(stderr, "\r[%s] %s\033[K", bar, counts().c_str());
    fflush(stderr);
    drawn = now();
}

void batch_progress_start(size_t rows)
{
    total = rows;
    done = skipped = failed = 0;
    started = now();
    terminal = isatty(STDERR_FILENO) == 1;
    if (terminal)
        draw_bar();
}

void batch_progress_say(const std::string& line)
{
    if (terminal)
        fputs("\r\033[K", stderr);
    fprintf(stderr, "%s\n", batch_shown(line).c_str());
    if (terminal)
        draw_bar();
}

void batch_progress_row(size_t row, const std::string& out, batch_status status, double seconds)
{
    (status == row_done ? done : status == row_skipped ? skipped : failed) += 1;
    if (terminal) {
        draw_bar();
    } else if (status != row_skipped) {
        fprintf(stderr, "vexa-capture: [%zu/%zu] row %zu %s: %s in %.1f s; %s\n", done + skipped + failed, total, row,
                batch_quoted(out).c_str(), status == row_done ? "done" : "failed", seconds, counts().c_str());
    }
}

void batch_progress_tick(void)
{
    if (terminal && now() - drawn >= 1)
        draw_bar();
}

size_t batch_progress_end(const char* results_path, bool interrupted)
{
    if (terminal)
        fputs("\r\033[K", stderr);
    fprintf(stderr, "vexa-capture: %s%zu of %zu rows: %zu rendered, %zu complete already, %zu failed; results in %s\n",
            interrupted ? "interrupted after " : "", done + skipped + failed, total, done, skipped, failed,
            batch_quoted(results_path).c_str());
    return failed;
}
