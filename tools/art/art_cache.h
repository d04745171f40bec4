// art_cache.h - pictures that many runs paint alike (the countdown cards, the
// painted photo), kept on disk so that a batch of runs paints them once.
//
//   art_cache_use("/lists/.vexa-cache");           // once, before any painting
//   art_blobs cards = art_cached("cards", {font_bytes, colours}, [&] { return paint(); });
//
// An entry is named by a SHA-256 of vexa's version, what it holds and the content of
// every input that decides its pixels (the font file's bytes, not its name), so a
// changed input or a new version never finds an old entry. It is written under a
// temporary name and renamed into place, and read back only when its length agrees
// with its own header: a write that was cut off is never used. Runs that miss at once
// wait for the first one's painting (a lock on the directory) instead of painting
// alike. A cache that cannot be read or written costs only the painting.
// Without art_cache_use (and in the page's build) art_cached just paints.
//
// What may be one run's own (the strips a row's own lines make) is kept with
// art_keep::when_shared: the first run to ask only leaves a mark ("<key>.wanted",
// empty) and paints, the second keeps the entry; so a batch whose rows each have
// their own keeps none of them, and one whose rows share it paints it twice.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using art_blobs = std::vector<std::vector<uint8_t>>;

// The directory entries go to (made with the first one); "" for none.
void art_cache_use(const std::string& dir);
// Whether there is a cache: a key that costs work to gather is not needed without.
bool art_cache_active();

enum class art_keep { always, when_shared };

art_blobs art_cached(const std::string& what, const std::vector<std::string>& inputs,
                     const std::function<art_blobs()>& paint, art_keep keep = art_keep::always);

// The entry's file name for what and inputs (its key), for the tests.
std::string art_cache_key(const std::string& what, const std::vector<std::string>& inputs);
