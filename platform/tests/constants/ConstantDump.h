#pragma once
// Collects the platform's constants and prints them as C assertions that
// Windows' own <windows.h> must satisfy: each name must exist there and have
// the same value. Pointer-valued constants (handles, resource ids) compare as
// addresses; names that stand for functions (the A-less aliases) have no
// value to compare and are left out.

#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

class ConstantDump {
public:
    // `corrupted` names a constant whose value is printed one too high, so
    // that a run can show the check catches a wrong value.
    explicit ConstantDump(std::string corrupted) : corrupted_(std::move(corrupted)) {}

    template <class Value> void Add(const char* name, Value value) {
        if constexpr (std::is_integral_v<Value> || std::is_enum_v<Value>) {
            AddInteger(name, static_cast<long long>(value));
        } else if constexpr (std::is_pointer_v<Value> &&
                             !std::is_function_v<std::remove_pointer_t<Value>>) {
            AddAddress(name, reinterpret_cast<std::uintptr_t>(value));
        }
    }

    // Prints the C source; 0 when the corrupted name (if any) was among the
    // constants.
    int Print() const {
        std::printf("/* Generated: the platform's constants against Windows' headers. */\n");
        std::printf("#include <windows.h>\n\n");
        // Windows' headers spell some handles through an inline function that
        // C cannot evaluate in an assertion; this is what it does.
        std::printf("#define LongToHandle(h) ((HANDLE)(LONG_PTR)(LONG)(h))\n\n");
        for (const std::string& check : checks_) {
            std::fputs(check.c_str(), stdout);
        }
        return corrupted_.empty() || corruptedSeen_ ? 0 : 1;
    }

private:
    void AddInteger(const char* name, long long value) {
        value += Skew(name);
        Emit(name, "(long long)(" + std::string(name) + ") == " + std::to_string(value) + "LL",
             std::to_string(value));
    }

    void AddAddress(const char* name, std::uintptr_t value) {
        value += static_cast<std::uintptr_t>(Skew(name));
        Emit(name,
             "(unsigned long long)(ULONG_PTR)(" + std::string(name) +
                 ") == " + std::to_string(value) + "ULL",
             "address " + std::to_string(value));
    }

    int Skew(const char* name) {
        if (corrupted_ != name) {
            return 0;
        }
        corruptedSeen_ = true;
        return 1;
    }

    void Emit(const char* name, const std::string& condition, const std::string& shown) {
        checks_.push_back("#ifndef " + std::string(name) + "\n#error \"" + name +
                          " is not in Windows' headers\"\n#else\n_Static_assert(" + condition +
                          ", \"" + name + " is " + shown + " here\");\n#endif\n");
    }

    std::string corrupted_;
    bool corruptedSeen_ = false;
    std::vector<std::string> checks_;
};
