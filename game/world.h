// Sample Game: every piece of game state in one static record.
//
// All tables have fixed sizes and live in static storage; nothing is
// allocated during play. A record that is not in use is parked off-screen at
// (kParkX, kParkY) with its active or alive flag 0 (player shots park at
// (0, 0)). The modules of the game read and write the world through W().
#pragma once

#include <cstdint>

namespace game {

constexpr float kParkX = -500;
constexpr float kParkY = 500;

// ---- enemy groups, in the order the collision pass tests them
enum Group : int {
  kZak1, kZak4a, kZak4b, kZak5, kZak6, kZak7, kZak9, kZak10a, kZak10b, kZak11,
  kZak12a, kZak12b, kZak13, kZak14, kZak54a, kZak54b, kZak19, kZak21, kZak22, kZak23,
  kZak24, kZak50a, kZak50b, kZak51, kZak52, kZak53, kZak54c, kZak54d,
  kGroupCount
};
constexpr int kMaxGroupRecords = 7;
constexpr int kMaxBulletKinds = 5;
constexpr int kMaxBulletRecords = 10;

struct EnemyRecord {
  int explosionPasses;
  int animFrame;  // flame strip cell (ZAK1 only)
  float x, y;
  float vx, vy;   // magnitudes; the group's move gives the signs
  int hitLock;    // hits count only while 0; nothing sets it
  int alive;
  int dying;
  int explosionFrame;
};

struct EnemyBullet {
  int animFrame;  // animated bullets of the large groups; the reset puts r mod 10 here
  float x, y;
  float vx, vy;
  int alive;
};

// ---- bosses, by stage (0 is the BOS11 boss of stage 1)
constexpr int kBossCount = 8;
constexpr int kMaxSparks = 22;
constexpr int kLargeExplosions = 5;
constexpr int kSmallExplosions = 4;
constexpr int kMaxBossKinds = 16;     // kinds are numbered from 1
constexpr int kMaxBossBullets = 90;

struct Blast {
  int frame;
  float x, y;
};

struct FlyBy {
  float x, y, speed;
};

struct BossRecord {
  int phase;  // set to r mod 10 by the reset
  float x, y;
  float entryTimer;
  float energy;
  float deathTimer;
  int hitLock;   // hits count only while 0; nothing sets it
  int hitFlash;
  int countdown;
  Blast sparks[kMaxSparks];
  Blast large[kLargeExplosions];
  Blast small[kSmallExplosions];
  FlyBy flyBy;
};

struct BossBullet {
  int phase;  // set to r mod 10 by the reset
  float x, y;
  float vy;
  int volleyTimer;
  int alive;
};

// ---- the player's shots
constexpr int kShotStreams = 5;
constexpr int kShotSlots = 120;
constexpr int kSpecialArrays = 3;  // centre, left, right
constexpr int kSpecialSlots = 13;
enum SpecialArray : int { kCentre, kLeft, kRight };

struct Shot {
  float x, y;
  float side;   // px/s sideways (streams 4 and 5)
  float speed;  // px/s upward
  int active;
};

struct Special {
  int x, y;
  int side;   // px per frame sideways (left and right arrays)
  int speed;  // px per frame upward
  int active;
};

// ---- scenery, clouds, game-over burst, ending stars
constexpr int kLayerCount = 8;  // 0 the ending's layer, 1..7 the stage layers
constexpr int kStrips = 8;
constexpr int kCloudCount = 6;  // cloud records 1..6 at indices 0..5
constexpr int kFlameCount = 80;
constexpr int kStarCount = 36;

struct Strip {
  float x, y;
};

struct Cloud {
  float x, y;
  float speed;
  int active;
};

struct Flame {
  float x, y;
  float aimX, aimY;
  float startX, startY;
  float angle;
  float speed;
  int active;
  int column, row;
  int counter;
  int life;
};

struct Star {
  int cell;
  float x, y;
  float speed;
};

// ---- sprite and sound handles, kept in the order the asset load fills them
constexpr int kZakImages = 26;  // ZAK1, 4..14, 17..24, 50..55 in load order
struct Assets {
  int title;
  int attract[4];  // BTHK00, BCG2, BCG3, BCG4
  int select;      // BCG5
  int my, gfbak1, mymy, myend, myendf, mygoodn, flh1, flh2, fbak1;
  int zak[kZakImages];
  int val[6];         // VAL11, VAL12, VAL13, VAL1, VAL2, VAL3
  int bos[11];        // BOS11 .. BOS81, BOS111, BOS511, BOS711
  int bossBullet[4];  // VAL20, VAL401, VAL402 (stage 7 boss), VAL402 (stage 8 boss)
  int zbak1, zbak2, zbak3, bbak1, sunder1;
  int bkm[6];  // BKM1h, BKM1m, BKM2, BKM3, BKM4, BKM5
  int zfire1;
  int shotWav, bomWav;
  int back[8];  // BACK1 .. BACK8
};

// Index into Assets::zak of the image ZAKn.BMP (-1 for a number not loaded).
int ZakImage(int number);

// ---- the game-wide variables
constexpr int kMaxVisits = 1024;  // later scene entries are not kept
struct Player {
  float x, y;
  float vx, vy;
  int bankFrame;  // 0..6, 3 level
  int bankStep;   // -1, 0, +1
  int alive;
  int explosionFrame;
  int shotSlot;        // 0..118
  int specialCounter;  // 0..48
  // Key edge states kept with the controls.
  int keyLeft, keyRight, keyUp, keyDown, keyZ, keyX, keyShift, keyControl;
};

struct World {
  Assets assets;

  int score;
  int highScore;
  int energy;
  int timeCounter;
  Player player;
  int endingFlame;
  int gameOver;
  float scroll;
  int stageStart;
  int fastBullets, fastestBullets;
  int spark;
  float bannerHeight[9];  // stages 1..8 at 0..7, the ending at 8
  float gameOverTimer;
  int attractCounter;
  int padChoice;  // the selection screen's highlighted choice, 0..6 (F1..F7)
  // The choices for the next games: the practice stage (0: whole games)
  // and a speed fixed for the run (0: the player's setting counts).
  int practiceStage;
  int fixedSpeed;
  // The game in progress: the stage it started at in practice (0 for a
  // whole game) and its speed in percent (0 before the first game: full).
  int practiceStart;
  int gameSpeed;
  // Scene numbers in the order the game entered them.
  int visited[kMaxVisits];
  int visitCount;
  // Filled by the collision pass each frame.
  int shotCount;
  int specialCount;

  Shot shots[kShotStreams][kShotSlots];
  Special specials[kSpecialArrays][kSpecialSlots];
  Special flh1[2];  // the weapon nothing launches

  EnemyRecord enemies[kGroupCount][kMaxGroupRecords];
  EnemyBullet groupBullets[kGroupCount][kMaxBulletKinds][kMaxBulletRecords];

  BossRecord bosses[kBossCount];
  BossBullet bossBullets[kBossCount][kMaxBossKinds + 1][kMaxBossBullets];  // kinds 1..16

  Strip layers[kLayerCount][kStrips];
  Cloud clouds[kCloudCount];
  Flame burst[kFlameCount];
  Star stars[kStarCount];
};

World& W();
// Puts every field back to zero, as at program start (tests).
void ClearWorld();

// The runtime's generator: 0..32767.
int Rand();
// A uniform whole number from lo to hi inclusive (Rand() mod (hi - lo + 1) + lo).
int RandRange(int lo, int hi);

// The explosion and hit sound.
void PlayBoom();

}  // namespace game
