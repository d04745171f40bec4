/* batch_paths.h - where a batch's paths lead, so that the places a list
   writes are compared as places, not as names.

   path_resolved makes path absolute (from the working directory) and
   follows its symbolic links step by step, as the system would, a link
   that leads nowhere yet included (it is where a file made through it will
   be); the steps past what exists are taken as written ("." dropped, ".."
   going up one). Two names of one place
   resolve alike unless they reach it through hard links, which
   path_same_file tells (device and inode; false when either is missing).
   path_inside tells whether path is dir or lies under it; both resolved. */
#ifndef VEXA_BATCH_BATCH_PATHS_H
#define VEXA_BATCH_BATCH_PATHS_H

#include <string>

std::string path_resolved(const std::string& path);
bool path_inside(const std::string& path, const std::string& dir);
bool path_same_file(const std::string& a, const std::string& b);

#endif
