// SPDX-License-Identifier: GPL-3.0-or-later
// The `nabrix` commands for scripts and launchers: list, search, get, copy, paste, delete...
#pragma once

#include <optional>

namespace nabrix {

class CommandLine {
public:
    // Whether the arguments name a command or one of its options, rather than only Qt's
    // own options for starting the program.
    static bool isCommand(int argc, const char* const* argv);

    // Carries out the command in a QCoreApplication of its own (no display needed) and
    // gives the exit status; none when the program must start here and show its history
    // (show or toggle while no instance runs).
    static std::optional<int> run(int argc, char* argv[]);
};

} // namespace nabrix
