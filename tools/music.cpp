// The game's music: nine General MIDI pieces, one per stage ("BGM1.MID" to
// "BGM8.MID"; "BGM7.MID" is also the title theme) and the ending
// ("BEND.MID"). Each lasts two minutes or so and is played again from the
// top when it ends, so none ends: the last bar turns round on the dominant
// into the first, which starts at once with the theme (the thin intro
// material returns mid-piece as a breakdown that builds back up), and the
// last section lifts the arrangement ("Skyline" and the title's anthem also
// go up a step for it).
#include <cstdio>
#include <string>

#include "core/ox_app.h"
#include "tools/assets.h"
#include "tools/music_compose.h"

namespace assets {

namespace {

using namespace music;

// General MIDI programs used below.
enum Program {
  kPiano = 0,
  kElectricPiano = 4,
  kClavinet = 7,
  kOverdriveGuitar = 29,
  kDistortionGuitar = 30,
  kFingerBass = 33,
  kPickBass = 34,
  kSlapBass = 36,
  kSynthBass1 = 38,
  kSynthBass2 = 39,
  kCello = 42,
  kPizzicato = 45,
  kHarp = 46,
  kTimpani = 47,
  kStrings = 48,
  kSlowStrings = 49,
  kChoir = 52,
  kOrchestraHit = 55,
  kTrumpet = 56,
  kFrenchHorn = 60,
  kBrass = 61,
  kSynthBrass = 62,
  kAltoSax = 65,
  kOboe = 68,
  kFlute = 73,
  kSquareLead = 80,
  kSawLead = 81,
  kPolySynth = 90,
  kWarmPad = 89,
  kHaloPad = 94,
};

// General MIDI percussion keys.
enum Drum {
  kKick = 36,
  kDeepKick = 35,
  kSideStick = 37,
  kSnare = 38,
  kClap = 39,
  kFloorTom = 41,
  kHat = 42,
  kLowTom = 45,
  kOpenHat = 46,
  kMidTom = 47,
  kHighMidTom = 48,
  kCrash = 49,
  kHighTom = 50,
  kRide = 51,
  kTambourine = 54,
  kSplash = 55,
  kCrash2 = 57,
  kShaker = 70,
  kTriangle = 81,
};

Section Head(Section s, int bars) { return {s.bar, bars}; }
Section Tail(Section s, int bars) { return {s.bar + s.bars - bars, bars}; }

bool Finish(const Song& song, const std::string& dir, const char* name) {
  if (song.Seconds() < 110.0 || song.Seconds() > 180.0) {
    fprintf(stderr, "assetgen: %s lasts %.1f s, outside 110..180 s\n", name, song.Seconds());
    return false;
  }
  return song.Write(dir + "/" + name);
}

// --- Stage 1: "Sortie" -- driving rock in E minor --------------------------------

bool Stage1(const std::string& dir) {
  Song song("Sortie", 150, 4, {64, Mode::Minor}, 0x51);
  song.Level(1.03);
  const int lead = song.AddPart({"Lead guitar", 0, kOverdriveGuitar, 100, 64, 45, 8});
  const int rhythm = song.AddPart({"Rhythm guitar", 1, kDistortionGuitar, 70, 30, 25, 0});
  const int bass = song.AddPart({"Bass", 2, kPickBass, 106, 64, 8, 0});
  const int pad = song.AddPart({"Pad", 3, kWarmPad, 66, 96, 70, 40});
  const int harmony = song.AddPart({"Harmony lead", 4, kSawLead, 54, 98, 50, 30});
  const int drums = song.AddPart({"Drums", midi::kDrumChannel, 0, 112, 64, 25, 0});

  const Groove rock = {
      {kKick, "X.....x.x.x....."}, {kSnare, "....X.......X..."}, {kHat, "x.x.x.x.x.x.x.x."}};
  const Groove drive = {
      {kKick, "X.x...x.x.x...x."}, {kSnare, "....X.......X..o"}, {kHat, "xoxoxoxoxoxoxoxo"}};
  const Groove halfTime = {
      {kKick, "X.........x....."}, {kSnare, "........X......."}, {kRide, "x.x.x.x.x.x.x.x."}};
  const Groove fill = {{kKick, "x.......x......."},    {kSnare, "....x.x........."},
                       {kHighTom, "........xx......"}, {kMidTom, "..........xx...."},
                       {kLowTom, "............x.x."},  {kFloorTom, ".............x.X"}};
  const Groove build = {{kKick, "x...x...x...x..."}, {kSnare, "x.x.x.x.xxxxXXXX"}};

  MelodyStyle style;
  style.low = -2;
  style.high = 9;
  style.openCadence = "x-x-x-----------";
  style.closedCadence = "x---x---x-------";
  style.velocity = 100;
  const Motif a = MakeMotif(song.Random(), "x--x--x-x---x-x-|x---x-x-x-------", 4, Shape::Heroic);
  const Motif b = MakeMotif(song.Random(), "x-------x---x---|x---x---x-----x-", 7, Shape::Lyrical);
  const Motif solo =
      MakeMotif(song.Random(), "x.xxx.xxx.xxx.x.|xxxx.x.x.x.x.---", 2, Shape::Driving);

  // A and A': the theme at once (no intro to sit through on every loop),
  // the second time with the busier beat.
  Section s;
  for (int pass = 0; pass < 2; ++pass) {
    s = song.Chords("i bVI bIII bVII | i bVI bVII i");
    MelodyStyle st = style;
    st.variation = pass;
    Melody(song, lead, s, a, st);
    Power(song, rhythm, s, "x.x.x.x.x.x.x.x.", 40, 86, 0.45);
    Bass(song, bass, s, "R-R-R-R-R-R-O-A-", 28, 100);
    Drums(song, drums, s, pass ? drive : rock, fill, 8, true, true);
  }

  // B: broader, half time, pad underneath.
  s = song.Chords("bVI bVII i i | bVI bVII V V");
  MelodyStyle bs = style;
  bs.closeLast = false;
  bs.openCadence = "x-------x-------";
  const std::vector<MelodyNote> tune = Melody(song, lead, s, b, bs);
  Power(song, rhythm, s, "X-------X---x---", 40, 84);
  Pad(song, pad, s, 4, 50, 67, 72, &tune);
  Bass(song, bass, s, "R-------R---F---", 28, 100);
  Drums(song, drums, s, halfTime, fill, 0, true, true);

  // Breakdown: the riff alone on the tonic, then the band builds back.
  s = song.Chords("i i bVI bVII | i i bVI bVII");
  Power(song, rhythm, s, "X.x.x.x.X.x.x.x.", 40, 88, 0.45);
  Pad(song, pad, Head(s, 4), 4, 50, 67, 62);
  Bass(song, bass, Tail(s, 4), "R-R-R-R-R-R-R-R-", 28, 96);
  Drums(song, drums, Head(s, 4), {{kKick, "x.......x......."}, {kHat, "..x...x...x...x."}}, {}, 0,
        false, true);
  Drums(song, drums, Tail(s, 4), rock, build, 0, true, false);
  Swell(song, -1, Head(s, 4), 96, 84);
  Swell(song, -1, Tail(s, 4), 84, 127);

  // Solo over the verse chords, twice round.
  s = song.Chords("i bVII bVI bVII | i bVII bVI V | i bVII bVI bVII | i bVII bVI V");
  MelodyStyle ss = style;
  ss.closeLast = false;
  ss.velocity = 104;
  Melody(song, lead, s, solo, ss);
  Power(song, rhythm, s, "X-x.x.x.X-x.x.x.", 40, 86, 0.5);
  Bass(song, bass, s, "R.RR.RR.R.RR.RA.", 28, 98);
  Drums(song, drums, s, drive, fill, 4, true, true);

  // B': the second theme again, doubled by the harmony lead an octave up.
  s = song.Chords("bVI bVII i i | bVI bVII V V");
  bs.variation = 1;
  const std::vector<MelodyNote> broad = Melody(song, lead, s, b, bs);
  Double(song, harmony, broad, 12, 0.7);
  Power(song, rhythm, s, "X-----x-X---x---", 40, 86);
  Pad(song, pad, s, 4, 50, 67, 74, &broad);
  Bass(song, bass, s, "R-----R-R---F---", 28, 100);
  Drums(song, drums, s, rock, fill, 8, true, true);

  // A'': the lift, the theme twice with a harmony voice and the pad.
  style.variation = 2;
  for (int pass = 0; pass < 2; ++pass) {
    s = song.Chords("i bVI bIII bVII | i bVI bVII i");
    MelodyStyle st = style;
    st.velocity = 106;
    const std::vector<MelodyNote> top = Melody(song, lead, s, a, st);
    Harmonize(song, harmony, top, 86);
    Pad(song, pad, s, 4, 50, 67, 66, &top);
    Power(song, rhythm, s, "x.x.x.x.x.x.x.x.", 40, 92, 0.45);
    Bass(song, bass, s, "R-R-R-R-R-R-O-A-", 28, 104);
    Drums(song, drums, s, drive, fill, 8, true, true);
  }

  // Turnaround: the theme's head over the dominant, straight back to the top.
  s = song.Chords("bVI bVII V V");
  MelodyStyle ts = style;
  ts.closeLast = false;
  const std::vector<MelodyNote> ending = Melody(song, lead, s, a, ts);
  Power(song, rhythm, s, "X-x.x.x.X-x.x.x.", 40, 90, 0.5);
  Pad(song, pad, s, 4, 50, 67, 66, &ending);
  Bass(song, bass, s, "R-R-R-R-R-R-R-A-", 28, 100);
  Drums(song, drums, s, drive, fill, 0, true, true);
  return Finish(song, dir, "BGM1.MID");
}

// --- Stage 2: "Skyline" -- synth-pop in A major ----------------------------------

bool Stage2(const std::string& dir) {
  Song song("Skyline", 128, 4, {69, Mode::Major}, 0x52);
  song.Level(0.865);
  const int lead = song.AddPart({"Lead synth", 0, kSawLead, 96, 64, 50, 50});
  const int arp = song.AddPart({"Arpeggio", 1, kSquareLead, 50, 36, 60, 20});
  const int bass = song.AddPart({"Synth bass", 2, kSynthBass1, 104, 64, 10, 0});
  const int pad = song.AddPart({"Pad", 3, kWarmPad, 70, 90, 80, 60});
  const int stabs = song.AddPart({"Stabs", 4, kPolySynth, 66, 80, 60, 40});
  const int echo = song.AddPart({"Echo lead", 5, kSquareLead, 46, 100, 70, 30});
  const int drums = song.AddPart({"Drums", midi::kDrumChannel, 0, 108, 64, 30, 0});

  const Groove verse = {{kKick, "x...x...x...x..."},
                        {kClap, "....x.......x..."},
                        {kOpenHat, "..x...x...x...x."},
                        {kHat, "x...x...x...x..."}};
  const Groove chorus = {{kKick, "x...x...x...x..."},  {kClap, "....x.......x..."},
                         {kSnare, "....x.......x..o"}, {kOpenHat, "..x...x...x...x."},
                         {kHat, "xox.xox.xox.xox."},   {kTambourine, "....x.......x..."}};
  const Groove fill = {{kKick, "x...x...x...x..."},
                       {kSnare, "........xoxoxxXX"},
                       {kClap, "....x..........."},
                       {kHat, "x.x.x.x........."}};

  MelodyStyle style;
  style.low = -3;
  style.high = 9;
  style.openCadence = "x-x-x-------....";
  style.closedCadence = "x--x--x---------";
  style.velocity = 98;
  const Motif verseMotif =
      MakeMotif(song.Random(), "x.x.x.x--.x.x---|x.x.x.x-x-------", 2, Shape::Lyrical);
  const Motif chorusMotif =
      MakeMotif(song.Random(), "x--x--x-x-x-x---|x--x--x-x-------", 7, Shape::Heroic);
  const Motif bridgeMotif =
      MakeMotif(song.Random(), "x-------x---x---|x-----x-x-------", 4, Shape::Lyrical);

  // Verse and chorus twice, straight from the top.
  Section s;
  for (int pass = 0; pass < 2; ++pass) {
    // Verse.
    s = song.Chords("vi IV I V | vi IV V I");
    MelodyStyle vs = style;
    vs.variation = pass;
    const std::vector<MelodyNote> tune = Melody(song, lead, s, verseMotif, vs);
    Pad(song, pad, s, 4, 57, 76, 62, &tune);
    Arpeggio(song, arp, s, "x.x.x.x.x.x.x.x.", ArpOrder::Up, 4, 64, 84, 58, 0.5);
    Bass(song, bass, s, "R--R--R-R--R--O-", 33, 100, 0.8);
    Drums(song, drums, s, verse, fill, 8, true, true);
    // Chorus.
    s = song.Chords("IV V iii vi | IV V I I");
    MelodyStyle cs = style;
    cs.variation = pass;
    cs.velocity = 104;
    const std::vector<MelodyNote> line = Melody(song, lead, s, chorusMotif, cs);
    Double(song, echo, line, -12, 0.7);
    Comp(song, stabs, s, "x..x..x...x..x..", 3, 60, 76, 80, 0.4);
    Arpeggio(song, arp, s, "xxxxxxxxxxxxxxxx", ArpOrder::UpDown, 4, 64, 84, 60, 0.5);
    Bass(song, bass, s, "R-O-R-O-R-O-R-O-", 33, 102, 0.6);
    Drums(song, drums, s, chorus, fill, 8, true, true);
  }

  // Breakdown: pad and arpeggio alone, the beat coming back in.
  s = song.Chords("vi IV I V");
  Pad(song, pad, s, 4, 57, 76, 72);
  Arpeggio(song, arp, s, "xxxxxxxxxxxxxxxx", ArpOrder::UpDown, 4, 64, 84, 64, 0.5);
  Bass(song, bass, Tail(s, 2), "R-O-R-O-R-O-R-O-", 33, 96, 0.6);
  Drums(song, drums, Tail(s, 2), verse, fill, 0, true, false);
  Swell(song, -1, s, 90, 110);

  // Bridge: the beat thins out, the melody floats, the band swells.
  s = song.Chords("ii IV vi V | ii IV vi V");
  MelodyStyle bs = style;
  bs.closeLast = false;
  bs.openCadence = "x-------x-------";
  const std::vector<MelodyNote> tune = Melody(song, lead, s, bridgeMotif, bs);
  Pad(song, pad, s, 4, 57, 76, 74, &tune);
  Arpeggio(song, arp, s, "x.xxx.xxx.xxx.xx", ArpOrder::Broken, 5, 60, 88, 62, 0.5);
  Bass(song, bass, s, "R-------R-------", 33, 96);
  Drums(song, drums, Head(s, 4), {{kKick, "x.......x......."}, {kHat, "..x...x...x...x."}}, fill, 0,
        false, false);
  Drums(song, drums, Tail(s, 4), verse, fill, 0, true, false);
  Swell(song, -1, s, 110, 127);

  // The lift: the chorus twice with everyone, a step up (the bridge's
  // dominant is the new key's subdominant).
  song.Transpose(2);
  for (int pass = 0; pass < 2; ++pass) {
    s = song.Chords("IV V iii vi | IV V I I");
    MelodyStyle cs = style;
    cs.variation = 2;
    cs.velocity = 106;
    const std::vector<MelodyNote> line = Melody(song, lead, s, chorusMotif, cs);
    Double(song, echo, line, -12, 0.75);
    Comp(song, stabs, s, "x..x..x...x..x..", 3, 60, 76, 84, 0.4);
    Pad(song, pad, s, 4, 57, 76, 60, &line);
    Arpeggio(song, arp, s, "xxxxxxxxxxxxxxxx", ArpOrder::UpDown, 4, 64, 84, 62, 0.5);
    Bass(song, bass, s, "R-O-R-O-R-O-R-O-", 33, 104, 0.6);
    Drums(song, drums, s, chorus, fill, 8, true, true);
  }

  // Turnaround: back in A by way of B minor, the chorus head over the
  // dominant, into the verse.
  song.Transpose(-2);
  s = song.Chords("ii V IV V");
  MelodyStyle ts = style;
  ts.closeLast = false;
  const std::vector<MelodyNote> ending = Melody(song, lead, s, chorusMotif, ts);
  Comp(song, stabs, s, "x..x..x...x..x..", 3, 60, 76, 80, 0.4);
  Arpeggio(song, arp, s, "xxxxxxxxxxxxxxxx", ArpOrder::UpDown, 4, 64, 84, 60, 0.5);
  Bass(song, bass, s, "R-O-R-O-R-O-R-O-", 33, 100, 0.6);
  Drums(song, drums, s, chorus, fill, 0, true, true);
  Pad(song, pad, s, 4, 57, 76, 66, &ending);
  return Finish(song, dir, "BGM2.MID");
}

// --- Stage 3: "Open Sea" -- orchestral adventure in B flat (Lydian colour) -----

bool Stage3(const std::string& dir) {
  Song song("Open Sea", 112, 4, {58, Mode::Major}, 0x53);
  song.Level(0.806);
  const int horn = song.AddPart({"Horns", 0, kFrenchHorn, 108, 56, 70, 0});
  const int trumpet = song.AddPart({"Trumpet", 1, kTrumpet, 78, 72, 70, 0});
  const int strings = song.AddPart({"Strings", 2, kStrings, 84, 40, 75, 0});
  const int brass = song.AddPart({"Brass", 3, kBrass, 74, 84, 65, 0});
  const int low = song.AddPart({"Low strings", 4, kCello, 96, 64, 60, 0});
  const int timpani = song.AddPart({"Timpani", 5, kTimpani, 96, 64, 50, 0});
  const int pad = song.AddPart({"Slow strings", 6, kSlowStrings, 70, 88, 80, 0});
  const int drums = song.AddPart({"Percussion", midi::kDrumChannel, 0, 92, 64, 50, 0});

  const Groove march = {{kDeepKick, "X.......x......."},
                        {kSnare, "....x..o....x.oo"},
                        {kTriangle, "x..............."}};
  const Groove roll = {{kDeepKick, "X.......x...x..."}, {kSnare, "....xoxoxoxoXoXX"}};

  MelodyStyle style;
  style.low = 2;
  style.high = 11;
  style.openCadence = "x--x--x-x-------";
  style.closedCadence = "x-------x-------";
  style.velocity = 100;
  style.gate = 0.97;
  const Motif theme =
      MakeMotif(song.Random(), "x-----x-x-x-x---|x-----x-x-------", 7, Shape::Heroic);
  const Motif second =
      MakeMotif(song.Random(), "x---x---x-x-x---|x---x-x-x-------", 4, Shape::Lyrical);

  Section s;
  for (int pass = 0; pass < 2; ++pass) {
    // A: the theme on horns (and trumpet the second time).
    s = song.Chords("I II IV I | vi II IV/V I");
    MelodyStyle st = style;
    st.variation = pass;
    const std::vector<MelodyNote> line = Melody(song, horn, s, theme, st);
    if (pass) Double(song, trumpet, line, 0, 0.7);
    Arpeggio(song, strings, s, "x-x-x-x-x-x-x-x-", ArpOrder::Broken, 4, 55, 79, 70, 0.9);
    Bass(song, low, s, "R-------F---R---", 36, 94);
    Bass(song, timpani, s, "R.......R.......", 38, 76, 0.9);
    if (pass) Comp(song, brass, s, "....x-......x-..", 4, 53, 70, 78);
    Drums(song, drums, s, march, roll, 8, true, true);

    // B: a wider, singing second theme.
    s = song.Chords("vi IV I V | vi IV ii V");
    MelodyStyle bs = style;
    bs.closeLast = false;
    bs.variation = pass;
    const std::vector<MelodyNote> tune = Melody(song, pass ? trumpet : horn, s, second, bs);
    Pad(song, pad, s, 4, 58, 77, 74, &tune);
    Arpeggio(song, strings, s, "x-x-x-x-x-x-x-x-", ArpOrder::Up, 3, 50, 70, 62, 0.9);
    Bass(song, low, s, "R-------R-----A-", 36, 90);
    Drums(song, drums, s, {{kDeepKick, "x.......x......."}, {kSplash, "x..............."}}, roll, 0,
          true, false);
  }

  // Breakdown: the strings alone set the waves moving, timpani and brass
  // announce the return.
  s = song.Chords("I II IV I | vi II IV V");
  Arpeggio(song, strings, s, "x-x-x-x-x-x-x-x-", ArpOrder::Broken, 4, 55, 79, 72, 0.9);
  Bass(song, low, s, "R-------R-------", 36, 92);
  Comp(song, brass, Tail(s, 4), "X-----x-x-------", 4, 53, 70, 88);
  Bass(song, timpani, Tail(s, 4), "R.......F...F.F.", 38, 84, 0.9);
  Drums(song, drums, Tail(s, 4), march, roll, 0, true, false);
  Swell(song, -1, Head(s, 4), 100, 86);
  Swell(song, -1, Tail(s, 4), 86, 127);

  // The lift: the theme twice on horns and trumpet with the brass.
  for (int pass = 0; pass < 2; ++pass) {
    s = song.Chords("I II IV I | vi II IV/V I");
    MelodyStyle st = style;
    st.variation = 2;
    st.velocity = 106;
    const std::vector<MelodyNote> line = Melody(song, horn, s, theme, st);
    Double(song, trumpet, line, 0, 0.75);
    Arpeggio(song, strings, s, "x-x-x-x-x-x-x-x-", ArpOrder::Broken, 4, 55, 79, 74, 0.9);
    Pad(song, pad, s, 4, 58, 77, 66, &line);
    Bass(song, low, s, "R-------F---R---", 36, 98);
    Bass(song, timpani, s, "R.......R...R.R.", 38, 82, 0.9);
    Comp(song, brass, s, "x---x-......x-..", 4, 53, 70, 82);
    Drums(song, drums, s, march, roll, 8, true, true);
  }

  // Turnaround: the theme's head, broadened, and the dominant leading home.
  s = song.Chords("I II IV V");
  MelodyStyle ts = style;
  ts.closeLast = false;
  const std::vector<MelodyNote> line = Melody(song, horn, s, theme, ts);
  Double(song, trumpet, line, 0, 0.7);
  Arpeggio(song, strings, s, "x-x-x-x-x-x-x-x-", ArpOrder::Broken, 4, 55, 79, 72, 0.9);
  Bass(song, low, s, "R-------F---R---", 36, 94);
  Bass(song, timpani, Tail(s, 1), "R.......RRRRRRRR", 38, 84, 0.9);
  Drums(song, drums, s, march, roll, 0, true, true);
  return Finish(song, dir, "BGM3.MID");
}

// --- Stage 4: "Undercurrent" -- tense, B harmonic minor ----------------------------

bool Stage4(const std::string& dir) {
  Song song("Undercurrent", 100, 4, {71, Mode::HarmonicMinor}, 0x54);
  song.Level(1.035);
  const int piano = song.AddPart({"Piano", 0, kPiano, 100, 60, 55, 0});
  const int pulse = song.AddPart({"Pulse bass", 1, kSynthBass2, 88, 64, 20, 0});
  const int strings = song.AddPart({"Strings", 2, kStrings, 78, 84, 75, 0});
  const int cello = song.AddPart({"Cello", 3, kCello, 84, 44, 60, 0});
  const int choir = song.AddPart({"Choir", 4, kChoir, 64, 76, 90, 0});
  const int pizz = song.AddPart({"Pizzicato", 5, kPizzicato, 70, 96, 50, 0});
  const int drums = song.AddPart({"Drums", midi::kDrumChannel, 0, 100, 64, 35, 0});

  const Groove tense = {{kKick, "x.....x...x....."},
                        {kSnare, "........X......."},
                        {kHat, "x.xox.xox.xox.xo"},
                        {kLowTom, "..........x..x.."}};
  const Groove tenseFull = {{kKick, "x.....x...x...x."},
                            {kSnare, "....X.......X..."},
                            {kHat, "xoxoxoxoxoxoxoxo"},
                            {kMidTom, "..............x."}};
  const Groove fill = {{kKick, "x..............."},
                       {kHighMidTom, "....x.x........."},
                       {kMidTom, "........x.x....."},
                       {kLowTom, "............x.x."},
                       {kFloorTom, ".............x.X"}};

  MelodyStyle style;
  style.low = -2;
  style.high = 9;
  style.openCadence = "x-x-x-----------";
  style.closedCadence = "x---x---x-------";
  style.velocity = 96;
  const Motif theme =
      MakeMotif(song.Random(), "x--x--x-x-------|x.x.x.x-x-------", 4, Shape::Lyrical);
  const Motif climb =
      MakeMotif(song.Random(), "x-x-x-x-x---x---|x-x-x-x-x-------", 0, Shape::Driving);

  Section s;
  for (int pass = 0; pass < 2; ++pass) {
    s = song.Chords("i bVI iv V | i bVI iv/V i");
    MelodyStyle st = style;
    st.variation = pass;
    const std::vector<MelodyNote> line = Melody(song, piano, s, theme, st);
    Double(song, piano, line, -12, 0.75);
    Bass(song, pulse, s, "RrrrRrrrRrrrRrrr", 35, 92, 0.5);
    Pad(song, strings, s, 3, 47, 62, 64, &line);
    if (pass) GuideTones(song, cello, s, 43, 57, 76);
    if (pass) Arpeggio(song, pizz, s, "x.x.x.x.x.x.x.x.", ArpOrder::UpDown, 4, 59, 78, 70, 0.5);
    Drums(song, drums, s, pass ? tenseFull : tense, fill, 8, true, true);

    if (pass == 0) {
      // B: the Neapolitan chord darkens the climb.
      s = song.Chords("bVI bIII iv i | bVI bIII bII V");
      MelodyStyle bs = style;
      bs.closeLast = false;
      const std::vector<MelodyNote> climbLine = Melody(song, piano, s, climb, bs);
      Pad(song, choir, s, 3, 50, 64, 70, &climbLine);
      GuideTones(song, cello, s, 43, 57, 78);
      Bass(song, pulse, s, "R-rrR-rrR-rrR-rr", 35, 92, 0.6);
      Drums(song, drums, s, tenseFull, fill, 4, true, true);
    }
  }

  // Breakdown: the pulse alone, then strings and hats creep back in.
  s = song.Chords("i i bVI V | i i bVI V");
  Bass(song, pulse, s, "RrrrRrrrRrrrRrrr", 35, 90, 0.5);
  Pad(song, strings, Tail(s, 6), 3, 47, 62, 66);
  Drums(song, drums, Head(s, 4), {{kKick, "x..............."}}, {}, 0, false, true);
  Drums(song, drums, Tail(s, 4), {{kHat, "x.xox.xox.xox.xo"}, {kKick, "x.....x........."}}, fill, 0,
        true, false);
  Swell(song, -1, Head(s, 4), 96, 84);
  Swell(song, -1, Tail(s, 4), 84, 127);

  // B': the climb again, the choir and cello under it.
  s = song.Chords("bVI bIII iv i | bVI bIII bII V");
  MelodyStyle bs = style;
  bs.closeLast = false;
  bs.variation = 1;
  const std::vector<MelodyNote> climbLine = Melody(song, piano, s, climb, bs);
  Pad(song, choir, s, 3, 50, 64, 72, &climbLine);
  GuideTones(song, cello, s, 43, 57, 80);
  Arpeggio(song, pizz, s, "x.x.x.x.x.x.x.x.", ArpOrder::Up, 4, 59, 78, 66, 0.5);
  Bass(song, pulse, s, "R-rrR-rrR-rrR-rr", 35, 94, 0.6);
  Drums(song, drums, s, tenseFull, fill, 4, true, true);

  // The lift: the theme with everyone.
  s = song.Chords("i bVI iv V | i bVI iv/V i");
  style.variation = 2;
  style.velocity = 102;
  const std::vector<MelodyNote> line = Melody(song, piano, s, theme, style);
  Double(song, piano, line, -12, 0.75);
  Bass(song, pulse, s, "RrrrRrrrRrrrRrrr", 35, 96, 0.5);
  Pad(song, strings, s, 3, 47, 62, 70, &line);
  Pad(song, choir, s, 3, 50, 64, 60, &line);
  GuideTones(song, cello, s, 43, 57, 80);
  Arpeggio(song, pizz, s, "x.x.x.x.x.x.x.x.", ArpOrder::UpDown, 4, 59, 78, 72, 0.5);
  Drums(song, drums, s, tenseFull, fill, 8, true, true);

  // Turnaround: the theme's head over the dominant, back to the start.
  s = song.Chords("bVI iv V V");
  MelodyStyle ts = style;
  ts.closeLast = false;
  const std::vector<MelodyNote> head = Melody(song, piano, s, theme, ts);
  Double(song, piano, head, -12, 0.75);
  Bass(song, pulse, s, "RrrrRrrrRrrrRrrr", 35, 92, 0.5);
  Pad(song, strings, s, 3, 47, 62, 66, &head);
  Drums(song, drums, s, tense, fill, 0, true, true);
  return Finish(song, dir, "BGM4.MID");
}

// --- Stage 5: "Velocity" -- fast electronic in F sharp Dorian ------------------------

bool Stage5(const std::string& dir) {
  Song song("Velocity", 172, 4, {66, Mode::Dorian}, 0x55);
  song.Level(1.048);
  const int lead = song.AddPart({"Square lead", 0, kSquareLead, 92, 64, 40, 30});
  const int arp = song.AddPart({"Saw arpeggio", 1, kSawLead, 52, 30, 50, 40});
  const int bass = song.AddPart({"Synth bass", 2, kSynthBass2, 106, 64, 10, 0});
  const int pad = song.AddPart({"Pad", 3, kHaloPad, 68, 98, 80, 60});
  const int brass = song.AddPart({"Synth brass", 4, kSynthBrass, 72, 80, 50, 30});
  const int drums = song.AddPart({"Drums", midi::kDrumChannel, 0, 110, 64, 25, 0});

  const Groove breakbeat = {{kKick, "X.........x....."},
                            {kSnare, "....X..o.o..X..."},
                            {kHat, "x.x.x.x.x.x.x.x."},
                            {kOpenHat, "..............x."}};
  const Groove breakbeat2 = {{kKick, "X.........x..x.."},
                             {kSnare, "....X..o.o..X.oo"},
                             {kHat, "xoxoxoxoxoxoxoxo"},
                             {kRide, "x...x...x...x..."}};
  const Groove build = {{kKick, "x...x...x...x..."}, {kSnare, "x.x.x.x.xxxxXXXX"}};

  MelodyStyle style;
  style.low = -2;
  style.high = 9;
  style.openCadence = "x.x.x.x.x-------";
  style.closedCadence = "x.x.x-----------";
  style.velocity = 100;
  style.gate = 0.8;
  const Motif themeMotif =
      MakeMotif(song.Random(), "x.x.x.x--.x.x.x.|x.x.x.xx-.x-----", 0, Shape::Driving);
  const Motif high =
      MakeMotif(song.Random(), "x---x---x-x-x---|x-x-x-x-x-------", 4, Shape::Heroic);

  // The theme three times, straight from the top, the high theme between.
  Section s;
  auto theme = [&](int variation, bool brassOn) {
    s = song.Chords("i IV bVII i | i IV bVII i");
    MelodyStyle st = style;
    st.variation = variation;
    Melody(song, lead, s, themeMotif, st);
    Arpeggio(song, arp, s, "xxxxxxxxxxxxxxxx", ArpOrder::UpDown, 4, 61, 80, 60, 0.45);
    Bass(song, bass, s, "R..R..R...R.R.O.", 30, 102, 0.7);
    if (brassOn) Comp(song, brass, s, "x.....x.....x...", 3, 57, 72, 84, 0.5);
    Drums(song, drums, s, variation ? breakbeat2 : breakbeat, build, 8, true, true);
  };
  auto highTheme = [&](int variation, int velocity) {
    s = song.Chords("bVI bVII i i | bVI bVII IV V");
    MelodyStyle bs = style;
    bs.closeLast = false;
    bs.gate = 0.9;
    bs.variation = variation;
    bs.velocity = velocity;
    bs.openCadence = "x-------x-------";
    const std::vector<MelodyNote> line = Melody(song, lead, s, high, bs);
    Harmonize(song, brass, line, 76);
    Pad(song, pad, s, 4, 57, 73, 66, &line);
    Arpeggio(song, arp, s, "x.xxx.xxx.xxx.xx", ArpOrder::Broken, 5, 61, 85, 58, 0.45);
    Bass(song, bass, s, "R.R.R.R.R.R.R.R.", 30, 100, 0.6);
    Drums(song, drums, s, breakbeat2, build, 8, true, true);
  };
  theme(0, false);
  theme(1, true);
  highTheme(0, 100);
  theme(1, true);

  // Breakdown: arpeggio and pad alone, then bass and beat come back.
  s = song.Chords("i IV i IV | i IV bVII v");
  Arpeggio(song, arp, s, "xxxxxxxxxxxxxxxx", ArpOrder::Up, 4, 61, 80, 62, 0.45);
  Pad(song, pad, s, 4, 57, 73, 64);
  Bass(song, bass, Tail(s, 4), "R..R..R...R.R...", 30, 100, 0.7);
  Drums(song, drums, Head(s, 4), {{kKick, "x.......x......."}}, {}, 0, false, true);
  Drums(song, drums, Tail(s, 4), breakbeat, build, 0, true, false);
  Swell(song, -1, Head(s, 4), 100, 88);
  Swell(song, -1, Tail(s, 4), 88, 127);

  highTheme(1, 102);

  // Break: the beat drops out, the pad swells, a snare roll builds.
  s = song.Chords("bVI bVII i i | bVI bVII V V");
  Pad(song, pad, s, 4, 57, 73, 74);
  Arpeggio(song, arp, s, "x.x.x.x.x.x.x.x.", ArpOrder::Up, 4, 61, 80, 56, 0.45);
  Bass(song, bass, s, "R-------R-------", 30, 90);
  Drums(song, drums, Head(s, 4), {{kKick, "x..............."}}, {}, 0, false, true);
  Drums(song, drums, Tail(s, 4), {{kKick, "x...x...x...x..."}, {kSnare, "x...x...x.x.x.x."}}, build,
        0, true, false);
  Swell(song, -1, s, 84, 127);

  // The lift: the theme at full tilt twice, then the high theme.
  style.variation = 2;
  style.velocity = 104;
  theme(2, true);
  theme(2, true);
  highTheme(2, 106);

  // Turnaround: the theme's head over the dominant, back to the top.
  s = song.Chords("bVI bVII IV V");
  MelodyStyle ts = style;
  ts.closeLast = false;
  const std::vector<MelodyNote> tune = Melody(song, lead, s, themeMotif, ts);
  Arpeggio(song, arp, s, "xxxxxxxxxxxxxxxx", ArpOrder::UpDown, 4, 61, 80, 60, 0.45);
  Bass(song, bass, s, "R..R..R...R.R.O.", 30, 102, 0.7);
  Drums(song, drums, s, breakbeat2, build, 0, true, true);
  Pad(song, pad, s, 4, 57, 73, 66, &tune);
  return Finish(song, dir, "BGM5.MID");
}

// --- Stage 6: "Mirage" -- funk in G Mixolydian ----------------------------------

bool Stage6(const std::string& dir) {
  Song song("Mirage", 112, 4, {67, Mode::Mixolydian}, 0x56);
  song.Level(1.076);
  song.Swing(0.3);  // sixteenth-note swing
  const int sax = song.AddPart({"Alto sax", 0, kAltoSax, 100, 70, 50, 0});
  const int clav = song.AddPart({"Clavinet", 1, kClavinet, 66, 36, 30, 0});
  const int bass = song.AddPart({"Slap bass", 2, kSlapBass, 104, 64, 10, 0});
  const int keys = song.AddPart({"Electric piano", 3, kElectricPiano, 70, 92, 60, 50});
  const int brass = song.AddPart({"Brass", 4, kBrass, 76, 80, 50, 0});
  const int drums = song.AddPart({"Drums", midi::kDrumChannel, 0, 104, 64, 25, 0});

  const Groove funk = {{kKick, "x.x.......x..x.."},
                       {kSnare, "....X..o.o..X..o"},
                       {kHat, "xoxoxoxoxoxoxo.o"},
                       {kOpenHat, "..............x."}};
  const Groove funk2 = {{kKick, "x.x...x...x..x.."},
                        {kSnare, "....X..o.o..X.oo"},
                        {kHat, "xoxoxoxoxoxoxo.o"},
                        {kOpenHat, "..............x."},
                        {kTambourine, "....x.......x..."}};
  const Groove fill = {{kKick, "x.x............."},
                       {kSnare, "....X..oxoxo...."},
                       {kHighTom, "............x..."},
                       {kMidTom, ".............x.."},
                       {kFloorTom, "..............xX"}};

  MelodyStyle style;
  style.low = -3;
  style.high = 8;
  style.openCadence = "x.x.x---x-------";
  style.closedCadence = "x.x.x-----------";
  style.velocity = 98;
  const Motif riff =
      MakeMotif(song.Random(), "x..x.x.x--x.x...|x.x..x.x-------.", 2, Shape::Driving);
  const Motif hook =
      MakeMotif(song.Random(), "x---x-x-x---x-x-|x---x-x-x-------", 4, Shape::Lyrical);
  const Motif solo =
      MakeMotif(song.Random(), "x.xxx.x.xxx.x.x.|x.xx.xx.x.x-----", 0, Shape::Driving);

  Section s;
  auto verse = [&](int variation, bool horns) {
    s = song.Chords("I7 bVII I7 bVII | IV7 IV7 I7 I7");
    MelodyStyle st = style;
    st.variation = variation;
    Melody(song, sax, s, riff, st);
    Comp(song, clav, s, "x.ox.xo.x.ox.xo.", 3, 60, 74, 74, 0.4);
    Comp(song, keys, s, "x-------x-------", 4, 55, 72, 62, 0.9);
    if (horns) Comp(song, brass, s, "....X..X......X.", 3, 58, 74, 84, 0.3);
    Bass(song, bass, s, "R..r.RO..R.r.OA.", 31, 102, 0.6);
    Drums(song, drums, s, variation ? funk2 : funk, fill, 8, true, true);
  };
  auto chorus = [&](int variation, bool harmony) {
    s = song.Chords("IV7 IV7 I7 I7 | ii7 V7 IV7 bVII");
    MelodyStyle hs = style;
    hs.closeLast = false;
    hs.variation = variation;
    const std::vector<MelodyNote> line = Melody(song, sax, s, hook, hs);
    if (harmony) Harmonize(song, brass, line, 80);
    Comp(song, brass, s, "....X..X......X.", 3, 58, 74, 86, 0.3);
    Comp(song, keys, s, "x-----x-----x---", 4, 55, 72, 64, 0.9);
    Bass(song, bass, s, "R.Or.RO.R.Or.RA.", 31, 100, 0.6);
    Drums(song, drums, s, funk2, fill, 8, true, true);
  };
  verse(0, false);
  chorus(0, false);
  verse(1, false);
  chorus(1, true);

  // Breakdown: clavinet, bass and drums alone, the band fading back in.
  s = song.Chords("I7 bVII I7 bVII");
  Comp(song, clav, s, "x.ox.xo.x.ox.xo.", 3, 60, 74, 76, 0.4);
  Bass(song, bass, Tail(s, 2), "R..r.RO..R.r.OA.", 31, 100, 0.6);
  Drums(song, drums, Head(s, 2), {{kHat, "xoxoxoxoxoxoxo.o"}}, {}, 0, false, false);
  Drums(song, drums, Tail(s, 2), funk, fill, 0, true, false);
  Swell(song, -1, s, 92, 120);

  // Solo: the sax takes off over the vamp.
  s = song.Chords("I7 bVII I7 bVII | IV7 IV7 ii7 V7");
  MelodyStyle ss = style;
  ss.closeLast = false;
  ss.velocity = 102;
  ss.gate = 0.85;
  Melody(song, sax, s, solo, ss);
  Comp(song, clav, s, "x.ox.xo.x.ox.xo.", 3, 60, 74, 70, 0.4);
  Comp(song, keys, s, "x-------x-------", 4, 55, 72, 60, 0.9);
  Bass(song, bass, s, "R..r.RO..R.r.OA.", 31, 100, 0.6);
  Drums(song, drums, s, funk2, fill, 4, true, true);
  Swell(song, -1, Head(s, 1), 120, 127);

  // The lift: riff and hook with the horns throughout.
  style.velocity = 102;
  verse(2, true);
  chorus(2, true);

  // Turnaround: the riff over the changes, the dominant leading home.
  s = song.Chords("IV7 bVII ii7/V7 V7");
  MelodyStyle ts = style;
  ts.closeLast = false;
  Melody(song, sax, s, riff, ts);
  Comp(song, clav, s, "x.ox.xo.x.ox.xo.", 3, 60, 74, 74, 0.4);
  Comp(song, brass, s, "....X..X......X.", 3, 58, 74, 86, 0.3);
  Comp(song, keys, s, "x-------x-------", 4, 55, 72, 62, 0.9);
  Bass(song, bass, s, "R..r.RO..R.r.OA.", 31, 100, 0.6);
  Drums(song, drums, s, funk2, fill, 0, true, true);
  return Finish(song, dir, "BGM6.MID");
}

// --- Stage 7 and the title: "Sample Game" -- heroic anthem in D major -------------

bool Stage7(const std::string& dir) {
  Song song("Sample Game", 138, 4, {62, Mode::Major}, 0x57);
  song.Level(0.888);
  const int trumpet = song.AddPart({"Trumpet", 0, kTrumpet, 104, 64, 55, 0});
  const int brass = song.AddPart({"Brass", 1, kBrass, 80, 84, 55, 0});
  const int strings = song.AddPart({"Strings", 2, kStrings, 80, 40, 70, 0});
  const int guitar = song.AddPart({"Guitar", 3, kOverdriveGuitar, 64, 24, 30, 0});
  const int bass = song.AddPart({"Bass", 4, kPickBass, 104, 64, 8, 0});
  const int timpani = song.AddPart({"Timpani", 5, kTimpani, 92, 64, 50, 0});
  const int drums = song.AddPart({"Drums", midi::kDrumChannel, 0, 108, 64, 30, 0});

  const Groove anthem = {
      {kKick, "X.....x.x.x....."}, {kSnare, "....X.......X..."}, {kHat, "x.x.x.x.x.x.x.x."}};
  const Groove anthem2 = {{kKick, "X.x...x.x.x...x."},
                          {kSnare, "....X.......X..."},
                          {kRide, "x.x.x.x.x.x.x.x."},
                          {kTambourine, "....x.......x..."}};
  const Groove fill = {{kKick, "x.......x......."},    {kSnare, "x.x.x.x........."},
                       {kHighTom, "........xx......"}, {kMidTom, "..........xx...."},
                       {kLowTom, "............xx.."},  {kFloorTom, "..............xX"}};

  // The theme is written out: a rising fifth, a turn, and a fall home.
  const Motif theme{"x--x--x-x-------|x-x-x-x-x-------", {7, 4, -1, 1, 1, -1, -1, -1, -1}};
  const Motif answer{"x---x---x-x-x---|x--x--x-x-------", {9, -1, -1, 1, -2, -1, 2, -1, 2}};

  MelodyStyle style;
  style.low = 4;
  style.high = 13;
  style.openCadence = "x-x-x-----------";
  style.closedCadence = "x--x--x---------";
  style.velocity = 102;

  Section s;
  auto verse = [&](int variation, bool harmony, int velocity) {
    s = song.Chords("I V vi IV/V | I V IV/V I");
    MelodyStyle st = style;
    st.variation = variation;
    st.velocity = velocity;
    const std::vector<MelodyNote> line = Melody(song, trumpet, s, theme, st);
    if (harmony) Harmonize(song, brass, line, 86);
    Arpeggio(song, strings, s, "x-x-x-x-x-x-x-x-", ArpOrder::Up, 4, 62, 81, 66, 0.9);
    Power(song, guitar, s, "x.x.x.x.x.x.x.x.", 38, 80, 0.45);
    Bass(song, bass, s, "R-R-R-R-R-R-O-A-", 38, 100);
    Drums(song, drums, s, variation ? anthem2 : anthem, fill, 8, true, true);
  };
  auto bridge = [&](int variation) {
    // B: the answer, strings singing with the trumpet; the second time it
    // turns to the dominant of E for the lift.
    s = song.Chords(variation ? "vi IV I V | vi IV ii VI7" : "vi IV I V | vi IV ii V");
    MelodyStyle bs = style;
    bs.closeLast = false;
    bs.variation = variation;
    const std::vector<MelodyNote> answerLine = Melody(song, trumpet, s, answer, bs);
    Double(song, strings, answerLine, -12, 0.8);
    Comp(song, brass, s, "x-------x---x---", 4, 57, 74, 74);
    Power(song, guitar, s, "X-------X-------", 38, 78);
    Bass(song, bass, s, "R-------R---R-A-", 38, 98);
    Bass(song, timpani, Tail(s, 1), "R.R.R.R.RRRRRRRR", 38, 80, 0.9);
    Drums(song, drums, s, anthem2, fill, 8, true, true);
  };
  verse(0, false, 102);
  verse(1, true, 102);
  bridge(0);
  verse(1, true, 104);

  // Breakdown: the brass fanfare over the strings, timpani driving back in.
  s = song.Chords("I bVII IV V | I bVII IV V");
  Comp(song, brass, s, "X--x--x-x-------", 4, 57, 74, 92, 0.95);
  Arpeggio(song, strings, s, "x-x-x-x-x-x-x-x-", ArpOrder::Up, 4, 62, 81, 70, 0.9);
  Bass(song, timpani, s, "R.......R...R.R.", 38, 88, 0.9);
  Bass(song, bass, Tail(s, 4), "R-------R-------", 38, 96);
  Drums(song, drums, Head(s, 4), {{kKick, "x..............."}}, {}, 0, false, true);
  Drums(song, drums, Tail(s, 4), anthem, fill, 0, true, false);
  Swell(song, -1, Head(s, 4), 100, 90);
  Swell(song, -1, Tail(s, 4), 90, 127);

  bridge(1);

  // The lift: a step up, the theme twice in full, brass harmony, strings an
  // octave down.
  song.Transpose(2);
  for (int pass = 0; pass < 2; ++pass) {
    s = song.Chords("I V vi IV/V | I V IV/V I");
    MelodyStyle st = style;
    st.variation = 1 + pass;
    st.velocity = 106;
    const std::vector<MelodyNote> line = Melody(song, trumpet, s, theme, st);
    Harmonize(song, brass, line, 90);
    Double(song, strings, line, -12, 0.7);
    Power(song, guitar, s, "x.x.x.x.x.x.x.x.", 38, 84, 0.45);
    Bass(song, bass, s, "R-R-R-R-R-R-O-A-", 38, 104);
    Bass(song, timpani, s, "R.......R.......", 38, 80, 0.9);
    Drums(song, drums, s, anthem2, fill, 8, true, true);
  }

  // Turnaround: back in D by way of C (the flat sixth of E), the fanfare
  // chords and the dominant leading to the top.
  song.Transpose(-2);
  s = song.Chords("bVII bVI bVII V");
  MelodyStyle ts = style;
  ts.closeLast = false;
  Melody(song, trumpet, s, theme, ts);
  Comp(song, brass, s, "X--x--x-x-------", 4, 57, 74, 92, 0.95);
  Arpeggio(song, strings, s, "x-x-x-x-x-x-x-x-", ArpOrder::Up, 4, 62, 81, 70, 0.9);
  Power(song, guitar, s, "X--x--x-x-------", 38, 84);
  Bass(song, bass, s, "R--R--R-R--R--A-", 38, 100);
  Bass(song, timpani, Tail(s, 1), "R.......RRRRRRRR", 38, 86, 0.9);
  Drums(song, drums, s, anthem2, fill, 0, true, true);
  return Finish(song, dir, "BGM7.MID");
}

// --- Stage 8: "Last Stand" -- the final stage, C minor --------------------------

bool Stage8(const std::string& dir) {
  Song song("Last Stand", 164, 4, {60, Mode::Minor}, 0x58);
  song.Level(0.89);
  const int brass = song.AddPart({"Brass", 0, kBrass, 104, 60, 55, 0});
  const int strings = song.AddPart({"Strings", 1, kStrings, 84, 40, 60, 0});
  const int guitar = song.AddPart({"Guitar", 2, kDistortionGuitar, 66, 24, 25, 0});
  const int bass = song.AddPart({"Bass", 3, kFingerBass, 104, 64, 8, 0});
  const int choir = song.AddPart({"Choir", 4, kChoir, 70, 90, 80, 0});
  const int hits = song.AddPart({"Orchestra hits", 5, kOrchestraHit, 74, 70, 50, 0});
  const int timpani = song.AddPart({"Timpani", 6, kTimpani, 94, 64, 50, 0});
  const int drums = song.AddPart({"Drums", midi::kDrumChannel, 0, 110, 64, 25, 0});

  const Groove battle = {
      {kKick, "XoxoXoxoXoxoXoxo"}, {kSnare, "....X.......X..."}, {kHat, "x.x.x.x.x.x.x.x."}};
  const Groove charge = {{kKick, "X.x.x.x.X.x.x.x."},
                         {kSnare, "....X.......X..."},
                         {kRide, "x.x.x.x.x.x.x.x."},
                         {kCrash2, "x..............."}};
  const Groove fill = {{kKick, "x.x.x.x.x.x.x.x."},
                       {kSnare, "xoxoXoxo........"},
                       {kHighTom, "........xx......"},
                       {kMidTom, "..........xx...."},
                       {kFloorTom, "............xxxX"}};

  MelodyStyle style;
  style.low = 0;
  style.high = 11;
  style.openCadence = "x-x-x-----------";
  style.closedCadence = "x---x---x-------";
  style.velocity = 104;
  const Motif theme =
      MakeMotif(song.Random(), "x--x--x-x-x-x-x-|x-------x-x-x---", 4, Shape::Heroic);
  const Motif rise =
      MakeMotif(song.Random(), "x-------x-------|x---x---x-------", 7, Shape::Heroic);
  const Motif dread =
      MakeMotif(song.Random(), "x-x-x-x-x-x-x-x-|x-x-x-x-x-------", 2, Shape::Driving);

  Section s;
  auto verse = [&](int variation, bool doubled, bool choirOn, int velocity) {
    s = song.Chords("i bVI bIII bVII | i bVI V i");
    MelodyStyle st = style;
    st.variation = variation;
    st.velocity = velocity;
    const std::vector<MelodyNote> line = Melody(song, brass, s, theme, st);
    if (doubled) Double(song, strings, line, 12, 0.75);
    if (!doubled || variation > 1)
      Arpeggio(song, strings, s, "xxxxxxxxxxxxxxxx", ArpOrder::UpDown, 3, 55, 72, 66, 0.5);
    if (choirOn) Pad(song, choir, s, 3, 60, 74, 70, &line);
    Power(song, guitar, s, "x.xxx.xxx.xxx.xx", 36, 84, 0.4);
    Comp(song, hits, s, variation > 1 ? "X.....X...X....." : "X.....X.........", 3, 60, 76, 90,
         0.5);
    Bass(song, bass, s, "R.R.R.R.R.R.R.R.", 36, 100, 0.8);
    Drums(song, drums, s, variation > 1 ? charge : battle, fill, 8, true, true);
  };
  auto rising = [&](bool dark, int variation) {
    s = song.Chords(dark ? "bII bII i i | bII bII V V" : "bVI bVII i i | bVI bVII V V");
    MelodyStyle rs = style;
    rs.closeLast = false;
    rs.variation = variation;
    rs.openCadence = "x-------x-------";
    const std::vector<MelodyNote> tune = Melody(song, brass, s, dark ? dread : rise, rs);
    Pad(song, choir, s, 3, 60, 74, 74, &tune);
    Arpeggio(song, strings, s, "xxxxxxxxxxxxxxxx", ArpOrder::UpDown, 3, 55, 72, 68, 0.5);
    Power(song, guitar, s, dark ? "x.x.x.x.x.x.x.x." : "X-------X-------", 36, 82, 0.6);
    Bass(song, timpani, s, "R.......R.......", 36, 84, 0.9);
    Bass(song, bass, s, "R-R-R-R-R-R-R-R-", 36, 98);
    Drums(song, drums, s, dark ? battle : charge, fill, 8, true, true);
  };
  verse(0, false, false, 104);
  rising(false, 0);
  verse(1, true, false, 104);
  rising(true, 1);

  // Breakdown: strings and timpani alone, hits on the downbeats; the
  // choir, guitar and drums build back in.
  s = song.Chords("i i bVI bVI | i i bII V");
  Arpeggio(song, strings, s, "xxxxxxxxxxxxxxxx", ArpOrder::UpDown, 3, 55, 72, 70, 0.5);
  Bass(song, timpani, s, "R.......R.R.R.R.", 36, 86, 0.9);
  Comp(song, hits, s, "X...............", 3, 60, 76, 96, 0.5);
  Pad(song, choir, Tail(s, 4), 3, 60, 74, 66);
  Power(song, guitar, Tail(s, 4), "x.xxx.xxx.xxx.xx", 36, 82, 0.4);
  Bass(song, bass, Tail(s, 4), "R.R.R.R.R.R.R.R.", 36, 98, 0.8);
  Drums(song, drums, Tail(s, 4), charge, fill, 0, true, true);
  Swell(song, -1, Head(s, 4), 100, 88);
  Swell(song, -1, Tail(s, 4), 88, 127);

  verse(2, true, true, 104);
  rising(true, 2);

  // The lift: everyone, the theme around the rising theme.
  verse(2, true, true, 108);
  rising(false, 2);
  verse(2, true, true, 108);

  // Turnaround: the theme's head, the dominant leading back to the top.
  s = song.Chords("bVI bVII V V");
  MelodyStyle ts = style;
  ts.closeLast = false;
  const std::vector<MelodyNote> line = Melody(song, brass, s, theme, ts);
  Double(song, strings, line, 12, 0.75);
  Power(song, guitar, s, "x.xxx.xxx.xxx.xx", 36, 84, 0.4);
  Comp(song, hits, s, "X.....X.........", 3, 60, 76, 90, 0.5);
  Pad(song, choir, s, 3, 60, 74, 74, &line);
  Bass(song, bass, s, "R.R.R.R.R.R.R.R.", 36, 100, 0.8);
  Bass(song, timpani, Tail(s, 1), "R.......RRRRRRRR", 36, 88, 0.9);
  Drums(song, drums, s, battle, fill, 0, true, true);
  return Finish(song, dir, "BGM8.MID");
}

// --- Ending: "Homeward" -- a calm waltz in F major ---------------------------------

bool Ending(const std::string& dir) {
  Song song("Homeward", 88, 3, {65, Mode::Major}, 0x59);
  song.Level(1.236);
  const int flute = song.AddPart({"Flute", 0, kFlute, 104, 70, 70, 0});
  const int piano = song.AddPart({"Piano", 1, kPiano, 84, 50, 60, 0});
  const int strings = song.AddPart({"Strings", 2, kSlowStrings, 70, 84, 85, 0});
  const int cello = song.AddPart({"Cello", 3, kCello, 84, 40, 70, 0});
  const int harp = song.AddPart({"Harp", 4, kHarp, 66, 96, 70, 0});
  const int oboe = song.AddPart({"Oboe", 5, kOboe, 72, 90, 70, 0});
  const int drums = song.AddPart({"Percussion", midi::kDrumChannel, 0, 70, 64, 60, 0});

  const Groove waltz = {
      {kKick, "x..........."}, {kSideStick, "....o...o..."}, {kShaker, "o.o.o.o.o.o."}};
  const Groove waltzRide = {
      {kKick, "x..........."}, {kSideStick, "....o...o..."}, {kRide, "x...x...x..."}};

  MelodyStyle style;
  style.low = 0;
  style.high = 11;
  style.openCadence = "x---x---x---";
  style.closedCadence = "x-----x-----";
  style.velocity = 92;
  style.gate = 0.97;
  const Motif theme{"x-----x---x-|x-----------", {4, -2, 1, 1}};
  const Motif bridgeMotif =
      MakeMotif(song.Random(), "x---x---x---|x-----x-----", 7, Shape::Lyrical);

  Section s;
  auto verse = [&](int variation, bool oboeOn, bool drumsOn) {
    s = song.Chords("I V vi iii | IV I V I");
    MelodyStyle st = style;
    st.variation = variation;
    const std::vector<MelodyNote> line = Melody(song, flute, s, theme, st);
    if (oboeOn) Harmonize(song, oboe, line, 70);
    Arpeggio(song, piano, s, "x-x-x-x-x-x-", ArpOrder::Broken, 5, 48, 72, 62, 1.0);
    Pad(song, strings, s, 4, 53, 72, 58, &line);
    Bass(song, cello, s, "R-----------", 36, 80);
    if (drumsOn) Drums(song, drums, s, waltz, {}, 0, false, false);
  };
  auto bridge = [&](int variation) {
    // B: the oboe answers, the harp ripples.
    s = song.Chords("vi IV I V | vi IV ii V");
    MelodyStyle bs = style;
    bs.closeLast = false;
    bs.variation = variation;
    const std::vector<MelodyNote> tune = Melody(song, oboe, s, bridgeMotif, bs);
    Arpeggio(song, harp, s, "xxxxxxxxxxxx", ArpOrder::UpDown, 5, 55, 84, 60, 1.0);
    GuideTones(song, cello, s, 45, 60, 74);
    Pad(song, strings, s, 4, 53, 72, 62, &tune);
    Drums(song, drums, s, waltzRide, {}, 0, false, false);
  };
  verse(0, false, false);
  verse(1, true, true);
  bridge(0);

  // Interlude: the piano alone, then the strings swelling under it.
  s = song.Chords("I IV I V | vi IV ii V");
  Arpeggio(song, piano, s, "x-x-x-x-x-x-", ArpOrder::Broken, 5, 48, 72, 66, 1.0);
  Pad(song, strings, Tail(s, 6), 4, 53, 72, 56);
  Bass(song, cello, Tail(s, 4), "R-----R-----", 36, 74);
  Drums(song, drums, Tail(s, 4), {{kShaker, "o...o...o..."}}, {}, 0, false, false);
  Swell(song, -1, Head(s, 4), 104, 96);
  Swell(song, -1, Tail(s, 4), 96, 127);

  bridge(1);

  // A'': the theme with everyone.
  for (int pass = 0; pass < 2; ++pass) {
    s = song.Chords("I V vi iii | IV I V I");
    MelodyStyle st = style;
    st.variation = 1 + pass;
    const std::vector<MelodyNote> line = Melody(song, flute, s, theme, st);
    Double(song, strings, line, -12, 0.7);
    Harmonize(song, oboe, line, 66);
    Arpeggio(song, piano, s, "x-x-x-x-x-x-", ArpOrder::Broken, 5, 48, 72, 62, 1.0);
    Arpeggio(song, harp, s, "x.x.x.x.x.x.", ArpOrder::Up, 4, 60, 84, 52, 1.0);
    Bass(song, cello, s, "R-----------", 36, 82);
    Drums(song, drums, s, pass ? waltzRide : waltz, {}, 0, false, pass == 0);
  }

  // Turnaround: gently round to the dominant and back to the top.
  s = song.Chords("ii V IV V");
  MelodyStyle ts = style;
  ts.closeLast = false;
  ts.velocity = 86;
  const std::vector<MelodyNote> tune = Melody(song, flute, s, theme, ts);
  Arpeggio(song, piano, s, "x-x-x-x-x-x-", ArpOrder::Broken, 5, 48, 72, 58, 1.0);
  Pad(song, strings, s, 4, 53, 72, 56, &tune);
  Bass(song, cello, s, "R-----R-----", 36, 78);
  Drums(song, drums, s, waltz, {}, 0, false, false);
  return Finish(song, dir, "BEND.MID");
}

}  // namespace

bool WriteMusic(const char* dir) {
  const std::string d(dir);
  bool ok = true;
  for (bool (*piece)(const std::string&) :
       {Stage1, Stage2, Stage3, Stage4, Stage5, Stage6, Stage7, Stage8, Ending}) {
    ok = piece(d) && ok;
  }
  return ok;
}

}  // namespace assets
