// The threads the analyses of whole files run on. Both programs cap them from
// the setting Threads of section General (0, the default, is every core).
// Work runs on plain threads that never touch Qt; the calling thread keeps
// the user informed while they run.
#pragma once

#include <functional>

class SettingsStore;

// The number of threads an analysis may use, at least 1.
int AnalysisThreads();
// Sets the threads: as many as asked, or one per core for 0 or less.
void SetAnalysisThreads(int threads);
// The cap the settings give (section General, Threads).
int AnalysisThreadsSetting(SettingsStore& store);

// Runs work(0) .. work(tasks - 1), each once, on up to AnalysisThreads()
// threads, and returns when all are done. Meanwhile the calling thread calls
// poll every few milliseconds, and once more at the end.
void RunOnAnalysisThreads(int tasks, const std::function<void(int)>& work,
                          const std::function<void()>& poll);
