// The log that the core writes to, for the test programs.
#include <fstream>

std::ofstream logfile("voran32.log");
