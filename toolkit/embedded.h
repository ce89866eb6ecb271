#pragma once
// Files carried inside an executable, embedded at build time by
// hashmere_embed_files (cmake/project_helpers.cmake). The bytes live as long as
// the program.

#include <cstddef>
#include <string_view>

namespace toolkit {

struct EmbeddedFile {
    const char* name; // path relative to the embedded folder, "/"-separated
    const unsigned char* data;
    std::size_t size;
};

} // namespace toolkit
