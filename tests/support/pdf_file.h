// What a test can read back from a PDF file that was printed: its pages and their size.
#pragma once

#include "tests/support/temp_folder.h"

#include <filesystem>
#include <regex>
#include <string>

namespace tallyrig::testing {

struct PdfPages {
    int count = 0;           // page objects in the file
    double width_points = 0; // of the first page
    double height_points = 0;
};

inline PdfPages read_pdf_pages(const std::filesystem::path& file) {
    const std::string pdf = read_file(file);
    PdfPages pages;
    // The dictionary of every page says "/Type /Page"; that of the page tree says "/Pages".
    static const std::regex page(R"(/Type\s*/Page(?![A-Za-z]))");
    pages.count = static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
    static const std::regex media(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])");
    if (std::smatch m; std::regex_search(pdf, m, media)) {
        pages.width_points = std::stod(m[1]);
        pages.height_points = std::stod(m[2]);
    }
    return pages;
}

} // namespace tallyrig::testing
