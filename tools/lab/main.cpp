// chromaweave_lab: command-line companion that runs the imaging core on files.
#include "tools/lab/lab.h"

int main(int argc, char **argv) { return runLab(argc, argv); }
