// font_fallback_fontconfig.cpp - font_fallback.h through fontconfig: the best
// match for a sans-serif face whose character set holds the character.
#include "font_fallback.h"

#include <fontconfig/fontconfig.h>

namespace {

FcConfig* config;

}  // namespace

void font_fallback_done()
{
    if (config)
        FcConfigDestroy(config);
    config = nullptr;
}

bool font_fallback_find(char32_t c, std::string* path, int* index)
{
    if (!config)
        config = FcInitLoadConfigAndFonts();
    if (!config)
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* wanted = FcCharSetCreate();
    FcCharSetAddChar(wanted, FcChar32(c));
    FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcFontSet* sorted = FcFontSort(config, pattern, FcFalse, nullptr, &result);
    bool found = false;
    for (int i = 0; sorted && i < sorted->nfont && !found; ++i) {
        FcCharSet* has = nullptr;
        FcChar8* file = nullptr;
        int face = 0;
        FcBool scalable = FcFalse;
        if (FcPatternGetCharSet(sorted->fonts[i], FC_CHARSET, 0, &has) != FcResultMatch || !FcCharSetHasChar(has, c) ||
            FcPatternGetString(sorted->fonts[i], FC_FILE, 0, &file) != FcResultMatch ||
            (FcPatternGetBool(sorted->fonts[i], FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable))
            continue;
        FcPatternGetInteger(sorted->fonts[i], FC_INDEX, 0, &face);
        *path = reinterpret_cast<const char*>(file);
        *index = face;
        found = true;
    }
    if (sorted)
        FcFontSetDestroy(sorted);
    FcCharSetDestroy(wanted);
    FcPatternDestroy(pattern);
    return found;
}

bool font_family_find(const std::string& family, bool bold, std::string* path, int* index, std::string* found)
{
    if (!config)
        config = FcInitLoadConfigAndFonts();
    if (!config)
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcFontSet* sorted = FcFontSort(config, pattern, FcFalse, nullptr, &result);
    bool ok = false;
    for (int i = 0; sorted && i < sorted->nfont && !ok; ++i) {
        FcChar8* file = nullptr;
        FcBool scalable = FcFalse;
        if (FcPatternGetString(sorted->fonts[i], FC_FILE, 0, &file) != FcResultMatch ||
            FcPatternGetBool(sorted->fonts[i], FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable)
            continue;
        int face = 0;
        FcPatternGetInteger(sorted->fonts[i], FC_INDEX, 0, &face);
        *path = reinterpret_cast<const char*>(file);
        *index = face;
        // The family asked for when the face has it among its names, else its first.
        FcChar8* name = nullptr;
        found->clear();
        for (int k = 0; FcPatternGetString(sorted->fonts[i], FC_FAMILY, k, &name) == FcResultMatch; ++k)
            if (k == 0 || FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0)
                *found = reinterpret_cast<const char*>(name);
        ok = true;
    }
    if (sorted)
        FcFontSetDestroy(sorted);
    FcPatternDestroy(pattern);
    return ok;
}
