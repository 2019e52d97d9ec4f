// One scratch world per test: before every test the registry store, the
// config home, the home folder and the scratch area of the process point at
// a fresh directory of that test's own, and after it they are put back and
// the directory goes. CTest runs every test case as its own process, often
// several at once, so anything shared between them (a store, a config home,
// a fixed file name) would let one test see what another does.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace nvtest {

// Installs the world for the whole process (so that what runs before the
// first test touches nothing real either) and a listener that gives every
// test a world of its own. Called by the test mains before anything else.
void installScratchWorld();

// The directory of the current test's world (the process world between
// tests).
std::filesystem::path worldDir();

// Runs `body` in a child process as an unprivileged user when this process
// runs as root (as it does in CI), and in a child as the same user
// otherwise. `body` returns an empty string on success or what went wrong.
// `dir`, if given, is handed to the unprivileged user first; it must lie in
// the test's world (below the system's temporary folder, never in the
// checkout, whose parents may be closed to others). Returns the body's
// answer, or the reason it could not run.
std::string runUnprivileged(const std::function<std::string()> &body,
                            const std::filesystem::path &dir = {});

} // namespace nvtest
