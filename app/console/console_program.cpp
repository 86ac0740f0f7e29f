#include "app/console/console_program.h"

#include <cstdio>
#include <string>

#include "app/name_widths.h"

namespace folvane {

int RunConsoleProgram(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: folvane-cli FOLDER\n");
        return 2;
    }
    const std::string report = NameWidthReport(argv[1]);
    std::fwrite(report.data(), 1, report.size(), stdout);
    return 0;
}

}  // namespace folvane
