#include "lottery/lottery.hpp"
#include "platform/halt.hpp"

int main(int argc, char** argv) { return plat::run_program(argc, argv, lottery::lottery_main); }
