#include "frontend/gui/Program.h"

int main(int argc, char** argv) { return kirmel::gui::RunKirmelGui(argc, argv); }
