#include "app/win32/win32_program.h"

int main(int argc, char** argv) {
    return folvane::RunWin32Program(argc, argv);
}
