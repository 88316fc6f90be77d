#pragma once
// One registered application and the fixed table that holds them.
#include <array>
#include "core/ran_with.h"

#include <cstdint>
#include <string>

struct TProgInfo {
    bool Quit = false;
    bool Run = false;
    std::string Name;
    std::string Program; // empty: the slot holding this record is free
    std::string Work;
    std::string Arg;
    std::string QuitCom;
    std::string QuitArg;
    int32_t QuitType = 0; // 0 automatic, 1 captured command, 2 quit parameter
    int32_t Show = 0;     // 0 normal, 1 minimised, 2 maximised
    int32_t ImageIndex = 0;
    uint32_t ProcessID = 0; // found by the latest process lookup; 0: not running
    // Quit by a quit command while the record is kept (RunLastQuit, RestoreAfter):
    // it is started again from the record.
    bool LastQuit = false;
    // What it ran with when that quit ended it, read only while the record is kept;
    // both go with LastQuit.
    std::string LastArg;
    TWindowPlace LastPlace;

    bool Occupied() const { return !Program.empty(); }
    // The record of the last quit is spent or given up, with what it ran with.
    void ForgetLastQuit() {
        LastQuit = false;
        LastArg.clear();
        LastPlace = TWindowPlace();
    }
};

constexpr int kMaxPrograms = 256;
using TProgTable = std::array<TProgInfo, kMaxPrograms>;

// Quit types as stored in the settings file.
enum : int32_t { kQuitAuto = 0, kQuitCommand = 1, kQuitParam = 2 };
