/* doc_zip_none.cpp - the .vexa package where there is no libzip (the page,
   whose script unpacks and packs packages itself; see doc_zip.h). */
#include "doc_zip.h"

#include <unistd.h>

int doc_zip_unpack(int fd, const std::string&, std::string*, std::string* why)
{
    close(fd);
    *why = "a .vexa package is unpacked by the page itself";
    return 2;
}

int doc_zip_write(const std::string&, const std::string&, const std::vector<doc_zip_file>&, std::string* why)
{
    *why = "a .vexa package is packed by the page itself";
    return 1;
}
