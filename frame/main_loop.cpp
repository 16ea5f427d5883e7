// Entry point and main loop.
#include "frame/main_loop.h"

#include <cstdio>
#include <ctime>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "core/paths.h"
#include "core/services.h"
#include "draw/ox_draw.h"
#include "draw/ox_draw_status.h"
#include "frame/driver.h"
#include "frame/options_overlay.h"
#include "frame/ox_dump_writer.h"
#include "frame/ox_options.h"
#include "frame/ox_settings.h"
#include "frame/player_display.h"
#include "frame/player_keys.h"
#include "frame/settings_file.h"
#include "frame/window_proc.h"
#include "input/ox_bindings.h"
#include "platform/audio.h"
#include "platform/midi_synth.h"
#include "platform/platform.h"
#include "platform/replay.h"
#include "platform/start_trace.h"

namespace ox {

namespace {

bool g_quit = false;

void CallScene(const GameDefinition& game, int scene) {
  if (scene < 0 || scene >= kSceneTableSize) return;
  if (SceneFunction f = game.scenes[scene]) f();
}

void CursorAutoHide() {
  AppState& app = App();
  if (app.fullScreen != 0 || app.cursorForced != 0) return;
  int x, y;
  plat::CursorPos(x, y);
  int w, h;
  plat::ClientSize(w, h);
  app.clientWidth = w;
  app.clientHeight = h;
  bool inside = x >= app.clientX && x < app.clientX + w && y >= app.clientY && y < app.clientY + h;
  if (inside && app.cursorVisible == 1) {
    plat::ShowCursor(false);
    app.cursorVisible = 0;
  } else if (!inside && app.cursorVisible == 0) {
    plat::ShowCursor(true);
    app.cursorVisible = 1;
  }
}

bool WriteDump(const char* path, const GameDefinition& game) {
  FILE* f = fopen(path, "w");
  if (!f) return false;
  DumpWriter out(f);
  out.Field("frame", plat::FramePasses());
  out.Field("scene", App().scene);
  out.Field("clock_ms", plat::Clock());
  out.Field("frame_seconds", static_cast<double>(App().frameSeconds));
  if (game.dumpFields) game.dumpFields(out);
  bool ok = out.Finish();
  return fclose(f) == 0 && ok;
}

// What the quit hook needs: the run's options and game.
const char* g_dumpPath = nullptr;
const GameDefinition* g_game = nullptr;

// A quit signal came while a message box held the main thread: the run ends
// at once, leaving the dump it would have left.
int EndInBox() {
  if (g_dumpPath && g_game && !WriteDump(g_dumpPath, *g_game)) {
    fprintf(stderr, "samplegame: cannot write the dump %s\n", g_dumpPath);
    return 1;
  }
  return 0;
}

// Steps 3 to 6 of a frame pass.
void SceneSteps(const GameDefinition& game, AppState& app) {
  // 3. The very first scene starts with the scene-changed flag.
  if (app.previousScene == 0 && app.scene != 0) {
    app.sceneChanged = 1;
    app.previousScene = app.scene;
  }
  // 4. A closing transition freezes the scene; when it ends the pending
  //    scene takes over.
  if (oxd::ClosingTransition()) {
    oxDraw::Present();
    if (!oxd::ClosingTransition()) app.scene = app.pendingScene;
  } else {
    CallScene(game, app.scene);
  }
  // 5. Scene-changed flag; a scene starts with the clip rectangle that was
  //    in force before a clip effect began.
  if (app.scene != app.previousScene) {
    app.sceneChanged = 1;
    oxd::RestoreClipAtSceneChange();
  } else {
    app.sceneChanged = 0;
  }
  app.previousScene = app.scene;
  // 6. Blink: 1 for 1000 ms, 0 for 200 ms.
  if (app.blinkDeadline <= plat::Clock()) {
    app.blink = !app.blink;
    app.blinkDeadline = plat::Clock() + (app.blink ? 1000 : 200);
  }
}

}  // namespace

void FramePass(const GameDefinition& game) {
  AppState& app = App();
  plat::BeginFramePass();
  // Pads are read once a pass; their presses arrive as the keys they stand
  // for, as if delivered with the messages before this pass; the options
  // overlay, while open, reads them itself.
  const bool overlay = oxOptions::Open();
  oxBindings::PollPads(overlay ? nullptr : PadKey);
  OptionsPadInput();
  BeginKeyPass();

  // 1. Frame seconds from the millisecond clock, not clamped.
  UpdateFrameTime();
  OptionsAfterFrameTime();
  // 2. Mouse movement since the previous pass.
  app.mouseMoveX = app.mouseX - app.previousMouseX;
  app.mouseMoveY = app.mouseY - app.previousMouseY;
  // The options overlay holds the scene still: no scene, scene-change or
  // blink step runs while it is open.
  if (!OptionsPass()) SceneSteps(game, app);
  // 7. Mouse bookkeeping.
  app.previousMouseX = app.mouseX;
  app.previousMouseY = app.mouseY;
  app.clickLeft = app.clickRight = app.doubleLeft = app.doubleRight = 0;
  // 8. Cursor auto-hide over a framed window.
  CursorAutoHide();

  EndKeyPass();
  plat::EndFramePass();
}

bool DispatchMessages() {
  services::PollServices();
  plat::Message m;
  while (plat::PeekMessage(m)) {
    if (m.message == plat::kMsgQuit) {
      g_quit = true;
      return false;
    }
    if (TakePlayerKey(m)) continue;
    WindowProc(m);
  }
  return true;
}

}  // namespace ox

int oxRun(int argc, char** argv, const GameDefinition& game) {
  using namespace ox;
  plat::start_trace::Mark("main");
  DriverOptions options;
  char error[512];
  if (!ParseOptions(argc, argv, options, error, sizeof error, &game)) {
    fprintf(stderr, "samplegame: %s\n", error);
    PrintUsage(stderr, &game);
    return 2;
  }
  if (options.help) {
    PrintUsage(stdout, &game);
    return 0;
  }
  if (options.version) {
    const bool versioned = game.version && game.version[0];
    printf("%s%s%s\n", game.title, versioned ? " " : "", versioned ? game.version : "");
    return 0;
  }

  InstallLibraryServices();
  ResetAppState();
  oxd::ResetDrawState();
  g_quit = false;
  ResetPlayerKeys();

  // The player's settings: their own file, or --config's (a headless run
  // uses none without it).
  StartPlayerSettings(options.config, options.headless);
  const oxSettings::Values& player = oxSettings::Current();
  // --window and --scale hold for this run only.
  App().fullScreen = options.window || !player.fullscreen ? 0 : 1;

  // A replay's seed and clock come from its recording; it is checked
  // before anything starts.
  uint32_t seed = options.seedGiven ? options.seed : static_cast<uint32_t>(time(nullptr));
  bool calendarSeed = !options.seedGiven;
  if (options.replay) {
    if (!plat::replay::Load(options.replay, error, sizeof error)) {
      fprintf(stderr, "samplegame: %s\n", error);
      return 1;
    }
    seed = plat::replay::LoadedHeader().seed;
    calendarSeed = plat::replay::LoadedHeader().calendarSeed;
    options.clockStart = plat::replay::LoadedHeader().clockStart;
    // The game plays with the choices it was recorded with.
    if (game.replayChoices &&
        !game.replayChoices(plat::replay::LoadedHeader().gameChoices, error, sizeof error)) {
      fprintf(stderr, "samplegame: the recording %s: %s\n", options.replay, error);
      plat::replay::EndSession();
      return 1;
    }
  }

  plat::Options po;
  po.headless = options.headless;
  po.window = App().fullScreen == 0;
  po.scale = options.scaleGiven ? options.scale : player.scale;
  po.clockStart = options.clockStart;
  po.inputScript = options.input;
  po.audioOut = options.audioOut;
  po.appName = game.title;
  if (!plat::Init(po, error, sizeof error)) {
    fprintf(stderr, "samplegame: %s\n", error);
    plat::replay::EndSession();
    return 1;
  }
  // 1. Only one copy plays at a time; a second one raises the first.
  //    Headless runs are independent of each other and of a player's game.
  //    Nothing is written before this: a second copy leaves the first
  //    one's files alone.
  if (!options.headless) {
    plat::LockResult lock = plat::AcquireInstanceLock(game.instanceName);
    if (lock == plat::LockResult::AlreadyRunning) {
      plat::Shutdown();
      plat::replay::EndSession();
      return 0;
    }
    App().mutexHeld = lock == plat::LockResult::Acquired ? 1 : 0;
  }
  g_dumpPath = options.dump;
  g_game = &game;
  plat::SetQuitHook(EndInBox);
  if (options.replay) plat::replay::StartReplay();
  char choices[plat::replay::kMaxGameChoices + 1] = "";
  if (options.record && game.recordChoices) game.recordChoices(choices, sizeof choices);
  if (options.record && !plat::replay::StartRecording(options.record, seed, calendarSeed, error,
                                                      sizeof error, choices))
    fprintf(stderr, "samplegame: %s; the run goes on unrecorded\n", error);
  // 2. The command line.
  SetCommandLine(argc, argv);
  // 3-6. The main window; it becomes the active one.
  StartPlayerDisplay(player, App().fullScreen != 0, po.scale, options.scaleGiven);
  if (!plat::CreateMainWindow(game.title, 640, 480, App().fullScreen != 0)) {
    fprintf(stderr, "samplegame: cannot create the window\n");
    plat::Shutdown();
    return 1;
  }
  plat::PostMessage(plat::kMsgActivateApp, 1, 0);
  // 7. The random seed: the calendar time unless a seed was given.
  SeedRandom(seed);
  // 9. The game's assets; the loader opens the screen.
  if (game.load) game.load();
  plat::start_trace::Mark("assets loaded");
  // Loading takes a while on a real clock; a recording notes where it ended.
  plat::replay::Resync();
  // 10. The main loop.
  ResetFrameTimer();
  bool quitRequested = false;
  bool shotFailed = false;
  // The trace's last milestone: the soundfont's load is over (the music
  // plays from then on), as seen after a frame pass.
  bool soundfontTraced = !plat::start_trace::Enabled();
  while (!g_quit) {
    if (!DispatchMessages()) break;
    AppState& app = App();
    if (app.active == 0 && (app.windowOptions & 2) == 0) {
      plat::WaitMessage();
      continue;
    }
    if (Input().released) {
      // Everything is released; only the closing messages remain.
      plat::WaitMessage();
      continue;
    }
    if (plat::replay::ReplayFinished(plat::FramePasses())) {
      // The replay has nothing more to give: end as the recorded run did.
      if (!quitRequested) QuitSequence();
      quitRequested = true;
      continue;
    }
    FramePass(game);
    uint32_t pass = plat::FramePasses();
    if (!soundfontTraced && plat::midi::Soundfont()[0] && !plat::midi::Loading()) {
      plat::start_trace::Mark("soundfont load over");
      soundfontTraced = true;
    }
    for (int i = 0; i < options.shotCount; ++i) {
      if (options.shots[i].frame == pass && !WriteScreenshot(options.shots[i].path)) {
        // The run goes on (later shots, the dump), then ends with 1.
        fprintf(stderr, "samplegame: cannot write screenshot %s\n", options.shots[i].path);
        shotFailed = true;
      }
    }
    const bool replayDone = plat::replay::ReplayFinished(pass);
    if (((options.frames && pass >= options.frames) || replayDone) && !quitRequested) {
      quitRequested = true;
      QuitSequence();
    }
  }

  int result = shotFailed ? 1 : 0;
  if (options.dump && !WriteDump(options.dump, game)) {
    fprintf(stderr, "samplegame: cannot write the dump %s\n", options.dump);
    result = 1;
  }
  // Resources are released by the quit sequence; if the loop ended another
  // way, release them now (the released flag keeps it to once).
  QuitSequence();
  // A window the player resized by hand keeps its size next time.
  RememberWindowSize();
  plat::Shutdown();
  plat::SetQuitHook(nullptr);
  // A sound output that could not be written whole was reported when it
  // failed; the run counts as failed, as for the dump.
  if (plat::audio::OutputFailed()) result = 1;
  return result;
}
