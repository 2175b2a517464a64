// The team module's program, callable in-process by tests.
#pragma once

namespace kelvane {

// argv[1]: the node number for a caller's visit, "CONFIG" or "MAINT".
int kelvane_main(int argc, char** argv);

}  // namespace kelvane
