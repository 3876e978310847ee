#include "Main.h"

int main(int argc, char *argv[]) { return tv::Main(argc, argv); }
