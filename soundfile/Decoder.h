// Compressed and companded sound files (FLAC, Ogg Vorbis, Opus, MP3, mu-law,
// A-law, ADPCM, CAF, W64 and whatever else libsndfile reads) are decoded once
// into a WAV file in the user's cache, which the head then reads and plays as
// any other WAV file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SfInfo;
class DesktopServices;
class SettingsStore;

enum class DecodeOutcome {
    NotDecodable, // libsndfile does not read the file either
    Decoded,      // wavPath holds the samples
    Cancelled,    // the user stopped the decoding
    Failed,       // the file cannot be decoded; problem says why
};

struct DecodeResult {
    DecodeOutcome outcome = DecodeOutcome::NotDecodable;
    std::string wavPath;
    std::string format; // "FLAC", "OGG", "MP3"...
    std::string problem;
};

// Decodes the file open in info (path and handle), or finds its decoded copy
// from an earlier open of the same unchanged file.
DecodeResult DecodeSoundFile(const SfInfo& info, DesktopServices& desktop);

// Decodes the sound file open as fd into a new WAV file at wavPath (RF64 when
// it would not fit 4 GiB). Lossless integer samples keep their width; lossy
// ones become 32-bit floats. Shows progress. The copy appears at wavPath
// only once whole: a decode stopped by the user, by a damaged file that
// ends before the frames it declares, by the budget or by a full disk
// leaves nothing.
DecodeResult DecodeToWav(int fd, const std::string& wavPath, DesktopServices& desktop);

// The file-name extensions, lower case without the dot, of every sound file
// that opens: those our own probes read, raw files, and libsndfile's.
std::vector<std::string> SoundFileExtensions();

// Decoded copies are kept in the private folder "decoded" of the user's
// cache (PrivateCacheFolder.h). Beyond this many bytes the least recently
// used are removed, and a file whose copy alone would take more is refused
// before it fills the disk. Both programs set it from the setting
// DecodedCacheMiB; 4 GiB by default.
int64_t DecodedCacheBudget();
void SetDecodedCacheBudget(int64_t bytes);
// The budget the settings give (section General, DecodedCacheMiB), in bytes.
int64_t DecodedCacheBudgetSetting(SettingsStore& store);
