#pragma once
// The program's orderly end: procedures registered here run, newest first,
// when the program halts, before the process exits. The library's end is
// one of them, so that a halt from deep inside a message handler (the end of
// the user's session) still frees the forms and gives back what the library
// holds.

namespace velbrin {

using TExitProcedure = void (*)();

// Adding a procedure already registered does nothing.
void AddExitProcedure(TExitProcedure procedure);
void RemoveExitProcedure(TExitProcedure procedure);
// Runs the registered procedures, newest first, each once, then ends the
// process with `exitCode`.
[[noreturn]] void Halt(int exitCode);

} // namespace velbrin
