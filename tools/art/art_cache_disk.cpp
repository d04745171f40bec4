// art_cache_disk.cpp - art_cache.h on a directory: one file per entry,
// "<key>.art": "vexa-art-cache 1\n", the number of pictures (4 bytes) and
// each one's length (8 bytes each, little-endian), then the pictures.
// SHA-256 comes from nettle.
#include "art_cache.h"
#include "write_all.h"

#include <dirent.h>
#include <fcntl.h>
#include <nettle/sha2.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string cache_dir;
const char magic[] = "vexa-art-cache 1\n";
const size_t magic_size = sizeof magic - 1;
const char temp_prefix[] = ".tmp-";

void put_le(std::string& out, uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back((char)(v >> (8 * i)));
}

uint64_t get_le(const unsigned char* p, int bytes)
{
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

void hash_part(sha256_ctx* ctx, const std::string& part)
{
    std::string length;
    put_le(length, part.size(), 8);  // so that no two lists of parts hash alike
    sha256_update(ctx, length.size(), (const uint8_t*)length.data());
    sha256_update(ctx, part.size(), (const uint8_t*)part.data());
}

// Reads exactly size bytes at p.
bool read_exactly(int fd, void* p, size_t size)
{
    size_t got = 0;
    while (got < size) {
        const ssize_t n = read(fd, (char*)p + got, size - got);
        if (n <= 0)
            return false;
        got += (size_t)n;
    }
    return true;
}

// The entry's pictures, each read straight into its own buffer, or false when
// the entry is missing or not whole (its length is not what its header says).
bool read_entry(const std::string& path, art_blobs* out)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct stat st;
    unsigned char head[magic_size + 4];
    bool whole = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && read_exactly(fd, head, sizeof head) &&
                 memcmp(head, magic, magic_size) == 0;
    const uint64_t count = whole ? get_le(head + magic_size, 4) : 0;
    std::vector<unsigned char> lengths(whole && count <= 64 ? count * 8 : 0);
    whole = whole && count <= 64 && read_exactly(fd, lengths.data(), lengths.size());
    uint64_t total = sizeof head + lengths.size();
    for (uint64_t i = 0; whole && i < count; ++i) {
        const uint64_t length = get_le(&lengths[i * 8], 8);
        whole = length <= (uint64_t)st.st_size;  // so that the sum cannot wrap
        total += length;
    }
    whole = whole && total == (uint64_t)st.st_size;
    art_blobs blobs(whole ? count : 0);
    for (uint64_t i = 0; whole && i < count; ++i) {
        blobs[i].resize(get_le(&lengths[i * 8], 8));
        whole = read_exactly(fd, blobs[i].data(), blobs[i].size());
    }
    close(fd);
    if (whole)
        *out = std::move(blobs);
    return whole;
}

// Removes what a cut-off write left; only under the directory's lock, when no
// other run is writing.
void remove_stale_temps()
{
    DIR* d = opendir(cache_dir.c_str());
    if (!d)
        return;
    while (const dirent* e = readdir(d))
        if (strncmp(e->d_name, temp_prefix, sizeof temp_prefix - 1) == 0)
            unlink((cache_dir + "/" + e->d_name).c_str());
    closedir(d);
}

// Writes the entry whole under a temporary name, then gives it its own.
void write_entry(const std::string& path, const art_blobs& blobs)
{
    std::string head(magic, magic_size);
    put_le(head, blobs.size(), 4);
    for (const auto& b : blobs)
        put_le(head, b.size(), 8);
    std::string temp = cache_dir + "/" + temp_prefix + "XXXXXX";
    const int fd = mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0)
        return;
    bool ok = write_all(fd, head.data(), head.size()) == 0;
    for (size_t i = 0; ok && i < blobs.size(); ++i)
        ok = write_all(fd, blobs[i].data(), blobs[i].size()) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0)
        unlink(temp.c_str());
}

}  // namespace

void art_cache_use(const std::string& dir)
{
    cache_dir = dir;
}

bool art_cache_active()
{
    return !cache_dir.empty();
}

std::string art_cache_key(const std::string& what, const std::vector<std::string>& inputs)
{
    sha256_ctx ctx;
    sha256_init(&ctx);
    hash_part(&ctx, "vexa " VEXA_VERSION);
    hash_part(&ctx, what);
    for (const std::string& input : inputs)
        hash_part(&ctx, input);
    uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&ctx, sizeof digest, digest);
    std::string hex;
    for (uint8_t b : digest) {
        char two[3];
        snprintf(two, sizeof two, "%02x", b);
        hex += two;
    }
    return hex;
}

art_blobs art_cached(const std::string& what, const std::vector<std::string>& inputs,
                     const std::function<art_blobs()>& paint, art_keep keep)
{
    if (cache_dir.empty())
        return paint();
    const std::string key = cache_dir + "/" + art_cache_key(what, inputs);
    const std::string path = key + ".art";
    art_blobs blobs;
    if (read_entry(path, &blobs))
        return blobs;
    mkdir(cache_dir.c_str(), 0777);  // made with the first entry or mark; there already, as a rule
    if (keep == art_keep::when_shared) {
        // The first run to ask marks the key and paints on its own, without the lock.
        const int mark = open((key + ".wanted").c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (mark >= 0)
            close(mark);
        if (mark >= 0 || errno != EEXIST)
            return paint();
    }
    // A miss: the first run to take the lock paints, the others then find its entry.
    const int dir_fd = open(cache_dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const bool locked = dir_fd >= 0 && flock(dir_fd, LOCK_EX) == 0;
    if (locked && read_entry(path, &blobs)) {
        close(dir_fd);
        return blobs;
    }
    try {
        blobs = paint();
    } catch (...) {
        if (dir_fd >= 0)
            close(dir_fd);
        throw;
    }
    if (locked) {
        remove_stale_temps();
        write_entry(path, blobs);
    }
    if (dir_fd >= 0)
        close(dir_fd);  // and the lock with it
    return blobs;
}
