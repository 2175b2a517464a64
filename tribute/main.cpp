#include "platform/halt.hpp"
#include "tribute/runelot.hpp"

int main(int argc, char** argv) { return plat::run_program(argc, argv, runelot::runelot_main); }
