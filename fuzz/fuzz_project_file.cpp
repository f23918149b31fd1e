// Any bytes as a project file (.prj): reading must end with at most one window per section of
// the file, whatever its count, and the places it read must write back and read again the same.
#include "core/project_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tallyrig;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ProjectFile project = parse_project(text);
    if (project.windows.size() > size) {
        std::abort();
    }
    // Names come back as written when they have a character of their own to begin and end
    // with; the numbers always do.
    const ProjectFile again = parse_project(project_file_text(project.windows));
    if (again.windows.size() != project.windows.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < again.windows.size(); ++i) {
        const ProjectWindow& a = project.windows[i];
        const ProjectWindow& b = again.windows[i];
        if (a.top != b.top || a.left != b.left || a.width != b.width || a.height != b.height) {
            std::abort();
        }
    }
    return 0;
}
