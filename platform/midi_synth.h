// The MIDI music device: one standard MIDI file at a time, played by
// FluidSynth with a General MIDI soundfont and mixed into the audio output.
//
// It works like a media-control sequencer under one alias: open a file,
// rewind, play (the end is reported once), stop, close, and a mode query
// ("stopped" or "playing"). The soundfont is loaded once, in the background
// from the start of a run (Preload); $SAMPLEGAME_SOUNDFONT names it, else
// the best installed of Debian's (MuseScore General Lite, else TimGM6mb).
// Without a soundfont or a synthesiser every Open fails and the music stays
// silent.
//
// Main thread: everything but Render and the loader. Render runs where the
// audio output mixes (the sdl backend's audio thread, or the headless
// backend's frame pass), the loader on its own thread; a mutex held for one
// rendered block (or for installing what was loaded) keeps them apart. The
// end of a piece is flagged by Render and taken by the main thread with
// TakeEnd. The process's end cancels a load still under way (see Shutdown).
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat::midi {

// Rate the synthesiser runs at; other output rates are resampled.
constexpr int kSynthRate = 44100;
// The soundfonts looked for when $SAMPLEGAME_SOUNDFONT is not set, best
// first: MuseScore General Lite (package musescore-general-soundfont-small,
// 39 MB: full, balanced instruments, about 0.6 s to load), then TimGM6mb
// (package timgm6mb-soundfont, 6 MB: thin, but small and quick).
constexpr const char* kSoundfonts[] = {"/usr/share/sounds/sf3/MuseScore_General_Lite.sf3",
                                       "/usr/share/sounds/sf2/TimGM6mb.sf2"};
// The last of them: the fallback, named when none is installed.
constexpr const char* kFallbackSoundfont = kSoundfonts[1];
// The first of kSoundfonts that can be opened, else the fallback.
const char* DefaultSoundfont();
// The synthesiser's gain for a soundfont: soundfonts differ in level by
// several decibels, so each known one has a gain measured to bring the
// music to the same loudness (about -20 LUFS in the mix); others get the
// fallback's.
double GainFor(const char* soundfont);

enum class Mode { NotOpen, Stopped, Playing };

// Starts loading the soundfont and creating the synthesiser on a thread of
// their own, once (until Shutdown); the audio output calls it as it opens,
// so that the load overlaps the start-up and no frame pass waits for it.
void Preload();
// The same for a run that is heard (`heard`: full synthesis) or not (the
// sequencer alone), whatever the audio output says (benchmarks).
void Preload(bool heard);
// True while that load is under way.
bool Loading();
// Whether there is a music device: false when there is no soundfont or the
// synthesiser cannot be created; that answer is kept until Shutdown.
// Starts the load if it has not started. While the load is under way, a
// real-time run does not wait (true: a piece opened meanwhile is held and
// starts playing as soon as the soundfont is ready), while a headless run
// waits for it here, so that its output never depends on the load's speed.
bool Available();

// The soundfont the music uses: the one loading or loaded since Preload
// (main thread; "" before it).
const char* Soundfont();

// Closes the open piece and opens a new one from the bytes of a standard
// MIDI file (copied). The piece starts out stopped at its beginning. False
// when there is no music device or the synthesiser refuses the data.
// `trimDb` raises (or lowers) the music by that many decibels while the
// piece is open; 0 leaves the synthesiser's output as it is.
bool Open(const uint8_t* data, size_t size, double trimDb = 0.0);
// Back to the beginning; playing stops there until the next Play.
void Rewind();
// Plays from the current position; the end is reported once through TakeEnd.
void Play();
// Stops where it is; sounding notes are released.
void Stop();
// Closes the open piece (nothing when none is open).
void Close();
Mode CurrentMode();

// True once for every piece that played to its end since the last call.
bool TakeEnd();

// Adds `frames` frames of 16-bit stereo music at `rate` Hz into `stereo`,
// saturating. The audio output's music source; callable directly.
void Render(int16_t* stereo, int frames, int rate);

// Unregisters Render and frees the synthesiser and soundfont; the next
// Available or Open loads them again (tests, and the end of the process).
// A load under way is cancelled: the loader reads the soundfont itself and
// gives up at its next read, so neither this nor the end of the process
// waits for the rest of the file (or for a file that never comes).
void Shutdown();

}  // namespace plat::midi
