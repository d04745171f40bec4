/* batch_results.cpp - see batch_results.h. The lines are made by
   nlohmann's JSON writer, bytes that are not UTF-8 replaced (U+FFFD), so
   that any name or message gives valid JSON. */
#include "batch_results.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

using json = nlohmann::ordered_json;  // the keys in the order written

static FILE* results;
static std::string results_path;
static bool write_failed;

int batch_results_open(const char* path)
{
    // Locked before it is emptied: a second batch on it leaves it as it is.
    const int fd = open(path, O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK)
            fprintf(stderr, "vexa-capture: %s: another batch is writing these results\n", path);
        else
            fprintf(stderr, "vexa-capture: %s: cannot lock the results: %s\n", path, strerror(error));
        return 1;
    }
    results = fd >= 0 && ftruncate(fd, 0) == 0 ? fdopen(fd, "w") : NULL;
    if (!results) {
        fprintf(stderr, "vexa-capture: %s: cannot write the results: %s\n", path, strerror(errno));
        if (fd >= 0)
            close(fd);
        return 1;
    }
    results_path = path;
    write_failed = false;
    return 0;
}

int batch_results_add(const batch_result& r)
{
    json line = {{"row", r.row},
                 {"out", r.out},
                 {"status", r.status},
                 {"seconds", std::round(r.seconds * 1000) / 1000},
                 {"seed", r.has_seed ? json(r.seed) : json(nullptr)}};
    if (!r.message.empty())
        line["message"] = r.message;
    const std::string text = line.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
    if (write_failed)
        return 1;
    if (fputs(text.c_str(), results) < 0 || fflush(results) != 0) {
        fprintf(stderr, "vexa-capture: %s: cannot write the results: %s\n", results_path.c_str(), strerror(errno));
        write_failed = true;
        return 1;
    }
    return 0;
}

int batch_results_close(void)
{
    const bool closed = fclose(results) == 0;
    results = NULL;
    if (!closed && !write_failed)
        fprintf(stderr, "vexa-capture: %s: cannot write the results: %s\n", results_path.c_str(), strerror(errno));
    return closed && !write_failed ? 0 : 1;
}

void batch_results_forget(void)
{
    if (results)
        fclose(results);  // written through already: nothing left to flush
    results = NULL;
}
