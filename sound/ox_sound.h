// oxSound: the sound device and a table of 70 sound objects.
//
// A sound object holds one WAVE sound in 1 to 10 identical mix buffers, so
// that the sound can overlap itself. Every per-buffer operation takes a mix
// selector as its last argument: 0 or more names one mix buffer, -2 the
// buffer at "next mix", any other negative value every mix buffer for
// settings and stop requests and the buffer at next mix (then the next one
// in rotation) for play requests. Settings are steps of 100: hundredths of
// a decibel for volume (-10000 silent .. 0 full) and pan (-10000 left ..
// +10000 right), Hz for frequency (100 .. 100000).
//
// Sounds come from WAVE files in the executable's directory, from sound
// packs (one file holding many sounds), or are streamed from a pack through
// a four-second ring buffer. Without a sound device every operation does
// nothing and loading returns -1, so a game runs silently. Failures of
// loading are shown with the error report and return -1.
#pragma once

#include <cstdint>

struct oxSound {
  // ---- device and objects
  static int Init();
  static void Release();
  static void Restore();
  static int LoadObject(const char* name, int mixCount);
  static void ReleaseObject(int handle);
  // Installs the device and object table as services of screen set-up and
  // the quit sequence (the frame does this at start).
  static void InstallServices();

  // ---- playing
  static void Play(int handle, int mix);
  static void PlayLoop(int handle, int mix);
  static void Stop(int handle, int mix);
  static void TogglePause(int handle, int mix);
  // Play position of mix buffer 0 in bytes.
  static int GetPosition(int handle);

  // ---- settings
  static void SetFrequency(int handle, int step, int mix);
  static void AddFrequency(int handle, int step, int mix);
  static void ResetFrequency(int handle, int mix);
  static void SetPan(int handle, int step, int mix);
  static void AddPan(int handle, int step, int mix);
  static void PanLeft(int handle, int mix);
  static void PanRight(int handle, int mix);
  static void ResetPan(int handle, int mix);
  static void SetVolume(int handle, int step, int mix);
  static void AddVolume(int handle, int step, int mix);
  static void ResetVolume(int handle, int mix);

  // ---- echo: call once per frame after a play request with selector -2
  static void Echo(int handle, int interval, int count, int volumeStep);
  static void EchoDrift(int handle, int interval, int count, int volumeStep, float panSpeed);

  // ---- the platform's own wave player (releases and restores the device)
  static void PlaySystemWave(const char* name);

  // ---- sound packs and streaming
  static void SelectPack(const char* name);
  static int MakePack(const char* pack, const char* folder, int deleteFirst);
  static int LoadPack(const char* name, int mixCount);
  static int LoadStream(const char* name, uint32_t loopOffset);
  // Refills the playing streams; call once per frame while streams play.
  static int Streaming();
  static int ResetStream(int handle);

  // ---- output format: channels 1 or 2, rate code 8, 11, 22, 44 (kHz) or
  //      samples per second, 8 or 16 bits
  static int SelectFormat(int channels, int rateCode, int bits);

  // 1 while the sound device is present.
  static int Available();
};
