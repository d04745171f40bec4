// art_cache_none.cpp - art_cache.h where there is no disk (the page): every
// picture is painted.
#include "art_cache.h"

void art_cache_use(const std::string&) {}

bool art_cache_active()
{
    return false;
}

art_blobs art_cached(const std::string&, const std::vector<std::string>&, const std::function<art_blobs()>& paint,
                     art_keep)
{
    return paint();
}

std::string art_cache_key(const std::string&, const std::vector<std::string>&)
{
    return "";
}
