/* fuzz_doc.cpp - libFuzzer target: any byte string as a show document,
   through the loader (show_doc_parse); a document it takes is written back
   (show_doc_text) and must load again to the same text, so the writer never
   writes what the loader refuses. Built by fuzz/CMakeLists.txt with clang
   (VEXA_FUZZ=ON); run it with script/fuzz SECONDS doc. */
#include "doc_load.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

static std::string same_name(const std::string& path, void*)
{
    return path;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    show_doc doc;
    std::string why;
    if (show_doc_parse((const char*)data, size, "fuzz.vexa.json", "/nonexistent", &doc, &why) != 0) {
        if (why.empty() || why.find('\n') != std::string::npos)
            abort();  // every refusal is one line
        return 0;
    }
    const std::string text = show_doc_text(doc, same_name, nullptr);
    show_doc again;
    if (show_doc_parse(text.data(), text.size(), "again", "/nonexistent", &again, &why) != 0 ||
        show_doc_text(again, same_name, nullptr) != text)
        abort();
    return 0;
}
