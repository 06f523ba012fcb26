#include "Halt.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace velbrin {

namespace {
std::vector<TExitProcedure>& Procedures() {
    static std::vector<TExitProcedure> procedures;
    return procedures;
}
} // namespace

void AddExitProcedure(TExitProcedure procedure) {
    auto& procedures = Procedures();
    if (procedure != nullptr &&
        std::find(procedures.begin(), procedures.end(), procedure) == procedures.end()) {
        procedures.push_back(procedure);
    }
}

void RemoveExitProcedure(TExitProcedure procedure) {
    auto& procedures = Procedures();
    procedures.erase(std::remove(procedures.begin(), procedures.end(), procedure),
                     procedures.end());
}

// A procedure may remove itself or others while the halt runs, so each is
// taken off the list before it is called.
void Halt(int exitCode) {
    auto& procedures = Procedures();
    while (!procedures.empty()) {
        TExitProcedure last = procedures.back();
        procedures.pop_back();
        last();
    }
    std::exit(exitCode);
}

} // namespace velbrin
