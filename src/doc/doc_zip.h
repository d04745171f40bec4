/* doc_zip.h - the .vexa package: a ZIP of show.vexa.json and the files it
   names. One file per platform: doc_zip_libzip.cpp (libzip, natively) and
   doc_zip_none.cpp (the page, which unpacks in its script).

     std::string dir, why;
     if (doc_zip_unpack(fd, "party.vexa", &dir, &why) != 0)  ... why names the entry

   doc_zip_unpack takes fd (a regular file, already checked; it is closed)
   and unpacks every entry into a new private directory under $TMPDIR or
   /tmp, removed when the program exits (also when unpacking fails). Stored
   and deflated entries only, no name that is absolute or holds "..", at
   most show_doc_max_unpacked bytes in all; 0, or 2 with why (a bad
   package), or 1 (the system refused: no space, cannot read).

   doc_zip_write writes the ZIP at path (the caller renames it into place):
   show.vexa.json holding json, then each file under its name in the
   package. 0, or 1 with why. */
#ifndef VEXA_DOC_ZIP_H
#define VEXA_DOC_ZIP_H

#include <string>
#include <vector>

struct doc_zip_file {
    std::string name;  // inside the package
    std::string path;  // where it is read from
};

int doc_zip_unpack(int fd, const std::string& name, std::string* dir, std::string* why);
int doc_zip_write(const std::string& path, const std::string& json, const std::vector<doc_zip_file>& files,
                  std::string* why);

/* A private temporary directory removed, with all it holds, at exit: its
   path, or "" with why. */
std::string doc_temp_dir(std::string* why);

#endif
