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
// ones become 32-bit floats. Shows progress; the partial file is removed
// when the user stops it or decoding fails.
DecodeResult DecodeToWav(int fd, const std::string& wavPath, DesktopServices& desktop);

// The file-name extensions, lower case without the dot, of every sound file
// that opens: those our own probes read, raw files, and libsndfile's.
std::vector<std::string> SoundFileExtensions();

// Where decoded copies are kept: $XDG_CACHE_HOME/TOLQ/Kavirel/decoded.
std::string DecodedCacheDir();

// Decoded copies beyond this many bytes are removed, least recently used
// first. The desktop program sets it from its settings; 4 GiB by default.
int64_t DecodedCacheBudget();
void SetDecodedCacheBudget(int64_t bytes);
