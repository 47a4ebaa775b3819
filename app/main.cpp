// bellcut: cuts a dropped picture into the shape of a bell.
#include "app/Program.h"

int main(int argc, char** argv) { return bellcut::BellcutMain(argc, argv); }
