// The program: the shell with the forms of the folders above it.

#include "app/programrun.h"
#include "program/programforms.h"

int main() { return RunProgram(InstallForms); }
