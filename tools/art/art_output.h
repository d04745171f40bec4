// art_output.h - an artwork directory replaced whole: the new set is written into a
// fresh directory beside it and swapped in with one rename, so that the directory
// holds the old set or the new one, never a mixture, and two runs never share a
// file. POSIX; not part of the page's build.
//
//   std::string why;
//   if (!art_output_write("mine/tex", files, &why))  ... "mine/tex ..." in why
//
// dir is created (with missing parents) when absent; an existing dir may hold only
// the catalogue's names (art_files.h), as regular files. A symbolic link to a
// directory is followed: the directory it names is replaced. The existing dir's
// permissions carry over to the new one. On failure, or when SIGINT, SIGTERM or
// SIGHUP arrive while it writes, everything it made is removed again (a handler
// of the program's own for those signals is still called afterwards).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct art_output_file {
    std::string name;  // one of my_art_files
    std::vector<uint8_t> bytes;
};

bool art_output_write(const std::string& dir, const std::vector<art_output_file>& files, std::string* why);

// dir without trailing slashes ("/" stays "/"), and dir + "/" + name without a
// doubled slash.
std::string art_path_trimmed(const std::string& dir);
std::string art_path_join(const std::string& dir, const std::string& name);
