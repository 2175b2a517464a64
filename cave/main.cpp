#include "cave/orvtime.hpp"
#include "platform/halt.hpp"

int main(int argc, char** argv) { return plat::run_program(argc, argv, cave::orvtime_main); }
