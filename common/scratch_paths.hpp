// The fixed files of the scratch folder, which every subsystem shares.
#pragma once

namespace common {

inline constexpr const char* kScratchFolder = "C:\\temp";
inline constexpr const char* kArchiveParent = "C:\\temp\\fidsong";
inline constexpr const char* kScratchFid = "C:\\temp\\fid";
inline constexpr const char* kScratchTitle = "C:\\temp\\title";
inline constexpr const char* kScratchAcqus = "C:\\temp\\acqus";
inline constexpr const char* kScratchSpectrum = "C:\\temp\\spectrum.eps";
inline constexpr const char* kScratchPicture = "C:\\temp\\spectrum.gif";
inline constexpr const char* kScratchWav = "C:\\temp\\fid.wav";
inline constexpr const char* kScratchListing = "C:\\temp\\fid.xls";
// The spectrum heard, its peaks, and half a second of it around one of them.
inline constexpr const char* kScratchSpectrumSound = "C:\\temp\\spectrum.wav";
inline constexpr const char* kScratchPeaks = "C:\\temp\\peaks.txt";
inline constexpr const char* kScratchPeakSound = "C:\\temp\\peak.wav";
// What a chemist reads off the spectrum, the spectrum for another NMR program, and one
// multiplet heard.
inline constexpr const char* kScratchReport = "C:\\temp\\report.txt";
inline constexpr const char* kScratchExport = "C:\\temp\\spectrum.dx";
inline constexpr const char* kScratchMultipletSound = "C:\\temp\\multiplet.wav";
// The data file of a dataset of another maker, as it was, under its own name: the one
// file in this folder.
inline constexpr const char* kScratchOriginal = "C:\\temp\\original";
// Locked by each request, so that runs sharing the scratch folder take turns.
inline constexpr const char* kScratchLock = "C:\\temp\\.fid-song.lock";

}  // namespace common
