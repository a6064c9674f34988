#pragma once
// The program's seams to the machine: the high-resolution counter, the one
// program-wide random generator and the environment read once at start.
// Tests replace the counter and seed the generator.

#include <QString>
#include <cstdint>
#include <functional>

// High-resolution counter in nanoseconds; its frequency is 1e9 counts per second.
int64_t PerfCounter();
int64_t PerfFrequency();
// Replace the counter (tests); an empty function restores the real one.
void SetPerfCounterSource(std::function<int64_t()> source);

// The program-wide pseudo-random generator.
void RandSeed(uint64_t seed);
// A random integer 0 <= r < n (0 when n <= 0).
int Random(int n);

// Environment read once at start; the README lists the variables.
struct TSudokuEnv {
    QString SettingsDir;      // SUDOKU_SETTINGS_DIR, empty = the user's settings
    QString DataDir;          // SUDOKU_DATA_DIR, empty = the program's folder
    QString BindAddress;      // SUDOKU_BIND_ADDRESS
    QString BroadcastAddress; // SUDOKU_BROADCAST_ADDRESS
    QString SelfIp;           // SUDOKU_SELF_IP, empty = from the interfaces
    QString ServerUrl;        // SUDOKU_SERVER_URL
    QString PrintPdf;         // SUDOKU_PRINT_PDF
    bool LoopbackOnly = false; // SUDOKU_LOOPBACK_ONLY=1
};
const TSudokuEnv &SudokuEnv();
// Re-read the environment (tests that change a variable call this).
void ReloadSudokuEnv();
// The folder "next to the program": the data folder, else the executable's folder.
QString ProgramDir();

// The file of the one-copy-per-user lock: in the temporary folder, with the
// user id in its name, so another user's running copy never refuses ours.
QString InstanceLockPath(unsigned userId);
QString InstanceLockPath();
