// orvtime, the cave guessing game: the program's main routine.
//
// Command line: "CONFIG" (any case) as the first parameter runs the
// installer at the local console; otherwise the first parameter is the
// caller's node, whose info file "info." + node in the current directory
// (the host's) names the caller's record. The kit's own switches ("-D",
// "-H", ...) may follow; the host's entry passes "-Dinfo.<node>".
#pragma once

namespace cave {

// The program; returns its exit code (always 0: every other end halts).
int orvtime_main(int argc, char** argv);

}  // namespace cave
