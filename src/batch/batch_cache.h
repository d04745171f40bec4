/* batch_cache.h - the artwork a batch's rows share: the pictures every row
   paints alike (the cards, the painted photo) are kept in .vexa-cache in
   the list's directory (art_cache.h), so the first row paints them and the
   others read them.

   batch_share_art hands the directory to the artwork painter of this
   process and the rows it forks; the first entry written makes it. A cache
   that leads out of the list's directory (a symbolic link) or is no
   directory is not used: one line says so and every row paints its own. */
#ifndef VEXA_BATCH_BATCH_CACHE_H
#define VEXA_BATCH_BATCH_CACHE_H

void batch_share_art(const char* list);

#endif
