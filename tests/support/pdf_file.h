// What a test can read back from a PDF file that was printed: its pages and their size.
#pragma once

#include "tests/support/temp_folder.h"

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

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

// The text of each page as poppler's pdftotext reads it: what copying or searching the PDF
// finds. Empty when the tool is missing or the file cannot be read.
inline std::vector<std::string> read_pdf_text(const std::filesystem::path& file) {
    const std::string command = "pdftotext -q '" + file.string() + "' - 2>/dev/null";
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, n);
        }
        ::pclose(pipe);
    }
    // Every page ends in a form feed.
    std::vector<std::string> pages;
    for (size_t start = 0, end; (end = text.find('\f', start)) != std::string::npos;
         start = end + 1) {
        pages.push_back(text.substr(start, end - start));
    }
    return pages;
}

} // namespace tallyrig::testing
