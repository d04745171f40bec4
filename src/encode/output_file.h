/* output_file.h - output files that appear whole or not at all.

   out_create makes a new file under a short temporary name in the
   directory of path (so a name of any valid length works), with the mode
   the umask leaves of 0666, registered for removal if the program is
   interrupted. Write through fd (or let another program write temp_path),
   then out_commit renames it into place, replacing any file of that name
   at once, or out_discard removes it. out_create and out_commit return 0,
   or 1 after one line naming path on standard error; after a failed
   out_commit the temporary file is gone too.

     out_file f;
     if (out_create("shot.png", &f) != 0) return 1;
     ... write(f.fd, ...) ... close(f.fd); f.fd = -1;
     return out_commit(&f);

   out_write_whole writes size bytes of data as the whole file path, by
   out_create, write and out_commit: 0, or 1 after one line naming path.

   temp_path never starts with '-' and reads as a plain file path to
   programs that take URLs (it starts with "/" or "./").

   temp_name gives a new name for a temporary file or directory, unique to
   the process: "vexa-capture.PID.N.tmp". tidy_path gives a directory's
   path without repeated or closing slashes ("a//b/" is "a/b"), as
   messages show it. */
#ifndef VEXA_ENCODE_OUTPUT_FILE_H
#define VEXA_ENCODE_OUTPUT_FILE_H

#include <string>

struct out_file {
    std::string path;       // where the file goes
    std::string temp_path;  // where it is written meanwhile
    int fd = -1;            // open for writing after out_create; close it before out_commit
    int slot = -1;          // its place in the interrupt registry
};

int out_create(const char* path, out_file* file);
int out_commit(out_file* file);
void out_discard(out_file* file);
int out_write_whole(const char* path, const void* data, size_t size);
std::string temp_name(void);
std::string tidy_path(const char* path);

#endif
