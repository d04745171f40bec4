/* remove_tree.h - removes a directory with everything in it, from a signal
   handler too: only async-signal-safe calls, no allocation.

     remove_tree("/tmp/vexa-show.x1y2z3");   // 0, or -1 with errno (rmdir's)

   Subdirectories are removed to a depth of 16; symbolic links are removed,
   never followed. */
#ifndef VEXA_REMOVE_TREE_H
#define VEXA_REMOVE_TREE_H

int remove_tree(const char* dir);

#endif
