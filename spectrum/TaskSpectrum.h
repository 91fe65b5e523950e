// The spectrum of a spectrum item's task, as its window computes it on opening.
#pragma once

class CSfFft;
class DesktopServices;

// Fills the item's spectrum, samples and (for the CepSmooth method) smoothed
// arrays from its task, in dB when YScale has the Log bit:
// - an instant (start = end): the spectrum of the Lfft frames from start; the
//   frame itself as samples, or, when Lfft is more than twice the screen
//   width, a min/max envelope of it with 2 x screen width values;
// - a range shorter than one Shift: the same at start, always with the frame;
// - a longer range: the mean of the spectra of the frames at start,
//   start + Shift, ... before end, with progress texts "FFT %d Proz." every
//   15 frames; samples a min/max envelope of the task, 2 x screen width values.
// The Fmax and Lwdw of the parameters are first limited to half the sample
// rate and to Lfft. A zoomed item (ownsArrays false) shows its parent's arrays
// and computes nothing.
//
// What became of the computation; only Computed leaves arrays to show.
enum class SpectrumOutcome {
    Computed,
    // The frame would run past the end of the file; the user has seen
    // "FFT-Length exceeds the File-Length".
    PastFileEnd,
    BadParameters, // Lfft not a power of two, or Shift not positive
    OutOfMemory,
    // The user stopped the averaging at a progress text: nothing to show.
    Cancelled,
};

SpectrumOutcome ComputeTaskSpectrum(CSfFft& item, DesktopServices& desktop, int screenWidth);
