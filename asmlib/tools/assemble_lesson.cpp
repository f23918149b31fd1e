// Assembles one lesson of resources/work at build time into the RAM image and assembly dump
// that ship beside it, so Load RAM offers the lessons at once. A lesson that does not assemble
// fails the build.
#include "asmlib/output_files.h"
#include "asmlib/two_pass.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

bool write_whole(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: assemble_lesson SOURCE.asm IMAGE.ram DUMP.rad\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    using namespace tallyrig::assembler;
    const Assembly assembly = assemble(source);
    if (!assembly.ok()) {
        std::cerr << argv[1] << ":" << assembly.error.line << ": "
                  << error_message(assembly.error.code, assembly.error.value) << "\n";
        return 1;
    }
    if (!write_whole(argv[2], ram_image_text(assembly)) ||
        !write_whole(argv[3], assembly_dump_text(assembly))) {
        std::cerr << "cannot write the outputs of " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
