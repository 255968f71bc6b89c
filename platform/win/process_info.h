#pragma once
// Figures about the running process, for the frame statistics, and its memory upkeep.

// The largest resident set the process has had so far, in MiB.
double PeakResidentMegabytes();

// CPU time the calling thread has used so far, in milliseconds.
double ThreadCpuMilliseconds();

// CPU time all threads of the process (the renderer's worker threads included) have used so
// far, in milliseconds.
double ProcessCpuMilliseconds();

// Hands the heap's free pages back to the system (the loading's temporary buffers are
// freed by then but stay resident in the heap otherwise).
void ReturnFreeMemory();
