#include "app/console/console_program.h"

int main(int argc, char** argv) {
    return folvane::RunConsoleProgram(argc, argv);
}
