#include "platform/halt.hpp"
#include "team/kelvane_main.hpp"

int main(int argc, char** argv) { return plat::run_program(argc, argv, kelvane::kelvane_main); }
