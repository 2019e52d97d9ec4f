// The three standard descriptors of a command-line program, kept as the
// system's own tools keep them: none of 0, 1 and 2 is ever free for a file
// or a connection the program opens later, and output that did not arrive
// makes the exit status a failure. Written here, not taken from Qt: Qt has
// neither step, and both programs (one without Qt) share them.
#pragma once

namespace nv {

// Puts /dev/null on each of descriptors 0, 1 and 2 that is closed, so that
// no later open takes it: 0 and 2 readable and writable; 1 read-only, so a
// write to a standard output that was closed still fails ("Bad file
// descriptor") as it would have. Call first thing in main.
void keepStandardDescriptors();

// Flushes and closes standard output, as the program's last step. A write
// that failed (a full disk, a closed output) is said on standard error as
// "PROGRAM: write error: REASON" and gives 1; otherwise `status` is returned
// as it is. Nothing written to a closed output is no error.
int closeStandardOutput(const char *program, int status);

} // namespace nv
