// font_fallback.h - the installed faces, asked for a character no chosen face has.
// One implementation a platform: font_fallback_fontconfig.cpp (fontconfig, the
// native programs) and font_fallback_none.cpp (no installed faces, e.g. a page).
//
//   std::string path;  int index;
//   if (font_fallback_find(U'\uac10', &path, &index))  ... open face index of path
//   font_fallback_done();
#pragma once

#include <string>

// The file and face index of an installed face that has c; false when none has.
// The same installed fonts give the same answer.
bool font_fallback_find(char32_t c, std::string* path, int* index);
// Lets go of what the search loaded; the next search loads it afresh.
void font_fallback_done();

// The installed scalable face that best matches a family name and weight: its file,
// face index and family (another family than asked when it is not installed). False
// when there are no installed faces to ask.
bool font_family_find(const std::string& family, bool bold, std::string* path, int* index, std::string* found);
