#include "app/qt/desktop_program.h"

int main(int argc, char** argv) {
    return folvane::RunDesktopProgram(argc, argv);
}
