/* doc_zip_libzip.cpp - the .vexa package natively, through libzip (see
   doc_zip.h). Each entry is checked by name and method before a byte is
   written, and the bytes written are counted as they come, so a package
   that lies about its sizes still stops at the limit. */
#include "doc_zip.h"
#include "doc_load.h"

#include <zip.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum { max_entries = 4096 };

std::string zip_message(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

/* An entry's name as a path below the package: no absolute name, no ".."
   or empty part, no backslash. */
bool safe_name(const std::string& name)
{
    if (name.empty() || name[0] == '/' || name.find('\\') != std::string::npos)
        return false;
    size_t start = 0;
    while (start < name.size()) {
        size_t slash = name.find('/', start);
        if (slash == std::string::npos)
            slash = name.size();
        const std::string part = name.substr(start, slash - start);
        if (part.empty() || part == "..")
            return false;
        start = slash + 1;
    }
    return true;
}

/* The directories above name, made inside dir. */
bool make_parents(const std::string& dir, const std::string& name)
{
    for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
        const std::string sub = dir + "/" + name.substr(0, slash);
        if (mkdir(sub.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        struct stat st;
        if (lstat(sub.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return false;
    }
    return true;
}

struct unpacking {
    zip_t* zip;
    std::string dir;
    unsigned long long total = 0;
};

/* Entry i into the directory; 0, or the status with why. */
int unpack_entry(unpacking* u, zip_uint64_t i, std::string* why)
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(u->zip, i, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
        *why = zip_error_strerror(zip_get_error(u->zip));
        return 2;
    }
    const std::string name = st.name;
    if (!safe_name(name)) {
        *why = "the entry \"" + name + "\" names a place outside the package";
        return 2;
    }
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
        *why = name + ": encrypted";
        return 2;
    }
    if ((st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method != ZIP_CM_STORE && st.comp_method != ZIP_CM_DEFLATE) {
        *why = name + ": neither stored nor deflated";
        return 2;
    }
    if ((st.valid & ZIP_STAT_SIZE) && st.size > (zip_uint64_t)show_doc_max_unpacked - u->total) {
        *why = "unpacks to more than 64 MiB";
        return 2;
    }
    if (!make_parents(u->dir, name)) {
        *why = name + ": cannot make its directory: " + strerror(errno);
        return 1;
    }
    if (name.back() == '/')
        return 0;  // a directory: made with what it holds
    const std::string path = u->dir + "/" + name;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        *why = errno == EEXIST ? "holds \"" + name + "\" twice" : name + ": " + strerror(errno);
        return errno == EEXIST ? 2 : 1;
    }
    zip_file_t* in = zip_fopen_index(u->zip, i, 0);
    int status = in ? 0 : 2;
    if (!in)
        *why = name + ": " + zip_error_strerror(zip_get_error(u->zip));
    char buffer[65536];
    while (status == 0) {
        const zip_int64_t n = zip_fread(in, buffer, sizeof buffer);
        if (n < 0) {
            *why = name + ": " + zip_file_strerror(in);
            status = 2;
        } else if (n == 0) {
            break;
        } else if ((u->total += (unsigned long long)n) > (unsigned long long)show_doc_max_unpacked) {
            *why = "unpacks to more than 64 MiB";
            status = 2;
        } else if (write(fd, buffer, (size_t)n) != n) {
            *why = name + ": " + strerror(errno);
            status = 1;
        }
    }
    if (in)
        zip_fclose(in);
    if (close(fd) != 0 && status == 0) {
        *why = name + ": " + strerror(errno);
        status = 1;
    }
    return status;
}

}  // namespace

int doc_zip_unpack(int fd, const std::string&, std::string* dir, std::string* why)
{
    int code = 0;
    zip_t* zip = zip_fdopen(fd, ZIP_CHECKCONS, &code);
    if (!zip) {
        close(fd);
        *why = code == ZIP_ER_NOZIP ? "not a .vexa package (a ZIP file)" : "not a sound ZIP: " + zip_message(code);
        return 2;
    }
    const zip_int64_t entries = zip_get_num_entries(zip, 0);
    int status = 0;
    if (entries > max_entries) {
        *why = "more than " + std::to_string((int)max_entries) + " entries";
        status = 2;
    }
    unpacking u = {zip, "", 0};
    if (status == 0) {
        u.dir = doc_temp_dir(why);
        status = u.dir.empty() ? 1 : 0;
    }
    for (zip_int64_t i = 0; status == 0 && i < entries; ++i)
        status = unpack_entry(&u, (zip_uint64_t)i, why);
    zip_discard(zip);
    if (status == 0 && access((u.dir + "/show.vexa.json").c_str(), F_OK) != 0) {
        *why = "holds no show.vexa.json";
        status = 2;
    }
    if (status == 0)
        *dir = u.dir;
    return status;
}

int doc_zip_write(const std::string& path, const std::string& json, const std::vector<doc_zip_file>& files,
                  std::string* why)
{
    int code = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (!zip) {
        *why = zip_message(code);
        return 1;
    }
    bool ok = true;
    zip_source_t* doc = zip_source_buffer(zip, json.data(), json.size(), 0);
    ok = doc && zip_file_add(zip, "show.vexa.json", doc, ZIP_FL_ENC_UTF_8) >= 0;
    if (!ok && doc)
        zip_source_free(doc);
    for (size_t i = 0; ok && i < files.size(); ++i) {
        struct stat st;
        errno = 0;
        if (stat(files[i].path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            *why = files[i].path + ": " + (errno ? strerror(errno) : "not a regular file");
            zip_discard(zip);
            return 1;
        }
        zip_source_t* source = zip_source_file(zip, files[i].path.c_str(), 0, -1);
        ok = source && zip_file_add(zip, files[i].name.c_str(), source, ZIP_FL_ENC_UTF_8) >= 0;
        if (!ok && source)
            zip_source_free(source);
    }
    if (!ok || zip_close(zip) != 0) {
        *why = zip_error_strerror(zip_get_error(zip));
        zip_discard(zip);
        return 1;
    }
    return 0;
}
