// The group table, the reset exceptions and the bullet-kind table.
#include "game/enemies/group_table.h"

namespace game {

namespace {

using F = Family;
using B = BlastKind;
constexpr bool kStops = true;
constexpr bool kFliesOn = false;
constexpr bool kFlame = true;
constexpr bool kNoFlame = false;

// One row per group, in the order of the Group enum. Spawn values are drawn
// x, y, vx, vy; "Keep" leaves the field as it was. vy of ZAK10a/b and vx of
// ZAK54a/b are drawn and stored although their moves never use them.
constexpr GroupRow kGroups[kGroupCount] = {
    // group   img family         recs cell    flame     spawn x       spawn y       vx            vy           side        exit                  explosion    last passes      kinds
    {kZak1,    1, F::kFalling,    7,  60,  70, kFlame,   In(100, 479), At(-70),      Keep(),       In(30, 69),  kStraight,  Bottom(),             B::kZbak3,   9, 5, kStops,    0},
    {kZak4a,   4, F::kColumn,     3,  60,  60, kNoFlame, At(140),      At(-60),      In(0, 9),     In(40, 79),  kRightward, Bottom(),             B::kZbak2,   7, 5, kStops,    1},
    {kZak4b,   4, F::kColumn,     3,  60,  60, kNoFlame, At(440),      At(-60),      In(0, 9),     In(40, 79),  kLeftward,  Bottom(),             B::kZbak2,   7, 5, kStops,    1},
    {kZak5,    5, F::kFalling,    3,  80,  80, kNoFlame, In(100, 459), At(-80),      Keep(),       In(50, 99),  kStraight,  Bottom(),             B::kZbak2,   7, 4, kStops,    1},
    {kZak6,    6, F::kFalling,    3,  80,  60, kNoFlame, In(100, 479), At(-60),      Keep(),       In(50, 99),  kStraight,  Bottom(),             B::kZbak3,   7, 4, kStops,    1},
    {kZak7,    7, F::kFalling,    3,  80, 100, kNoFlame, In(100, 479), At(-100),     Keep(),       In(40, 119), kStraight,  Bottom(),             B::kZbak3,   7, 4, kStops,    1},
    {kZak9,    9, F::kFalling,    3, 100,  80, kNoFlame, In(100, 459), At(-80),      Keep(),       In(50, 109), kStraight,  Bottom(),             B::kZbak2,   7, 4, kStops,    3},
    {kZak10a, 10, F::kCrossing,   3, 100, 120, kNoFlame, At(0),        In(0, 199),   In(50, 99),   In(50, 109), kRightward, RightOf(540),         B::kZbak2,   7, 4, kStops,    3},
    {kZak10b, 10, F::kCrossing,   3, 100, 120, kNoFlame, At(540),      In(0, 199),   In(50, 99),   In(50, 109), kLeftward,  LeftOf(0),            B::kZbak2,   7, 4, kStops,    3},
    {kZak11,  11, F::kFalling,    4,  80, 100, kNoFlame, In(100, 459), At(-120),     Keep(),       In(52, 119), kStraight,  Bottom(),             B::kZbak3,   7, 4, kStops,    5},
    {kZak12a, 12, F::kCrossing,   4,  80,  80, kNoFlame, At(20),       In(0, 199),   In(50, 99),   Keep(),      kRightward, RightOf(540),         B::kZbak3,   7, 4, kStops,    3},
    {kZak12b, 12, F::kCrossing,   4,  80,  80, kNoFlame, At(540),      In(0, 199),   In(50, 99),   Keep(),      kLeftward,  LeftOf(20),           B::kZbak3,   7, 4, kStops,    3},
    {kZak13,  13, F::kFalling,    6,  80,  80, kNoFlame, In(100, 459), At(-80),      Keep(),       In(50, 119), kStraight,  Bottom(),             B::kZbak3,   7, 4, kStops,    3},
    {kZak14,  14, F::kFalling,    5,  80,  80, kNoFlame, In(100, 459), At(-80),      Keep(),       In(52, 121), kStraight,  Bottom(),             B::kZbak3,   7, 4, kStops,    5},
    {kZak54a, 54, F::kDiagonal45, 3, 240, 180, kNoFlame, At(-110),     At(-180),     In(100, 179), In(80, 159), kRightward, Bottom(),             B::kCluster, 7, 3, kFliesOn,  5},
    {kZak54b, 54, F::kDiagonal45, 3, 240, 180, kNoFlame, At(510),      At(-180),     In(100, 179), In(80, 159), kLeftward,  Bottom(),             B::kCluster, 7, 3, kFliesOn,  5},
    {kZak19,  19, F::kFalling,    3,  80,  80, kNoFlame, In(100, 459), At(-80),      Keep(),       In(46, 105), kStraight,  Bottom(),             B::kZbak3,   7, 4, kStops,    5},
    {kZak21,  21, F::kDiagonal,   3,  90,  90, kNoFlame, At(40),       In(0, 29),    In(60, 129),  In(70, 139), kRightward, BottomOrRightOf(540), B::kZbak3,   7, 4, kFliesOn,  5},
    {kZak22,  22, F::kDiagonal,   3,  90,  90, kNoFlame, At(510),      In(0, 29),    In(60, 129),  In(70, 139), kLeftward,  BottomOrLeftOf(10),   B::kZbak3,   7, 4, kFliesOn,  5},
    {kZak23,  23, F::kRising,     3,  90,  90, kNoFlame, At(10),       In(360, 479), In(60, 119),  In(70, 129), kRightward, RightOf(540),         B::kZbak3,   7, 4, kFliesOn,  3},
    {kZak24,  24, F::kRising,     3,  90,  90, kNoFlame, At(540),      In(360, 479), In(60, 119),  In(70, 129), kLeftward,  LeftOf(10),           B::kZbak3,   7, 4, kFliesOn,  3},
    {kZak50a, 50, F::kFalling,    1, 200, 160, kNoFlame, In(100, 339), At(-160),     Keep(),       In(60, 109), kStraight,  Bottom(),             B::kCluster, 7, 4, kFliesOn,  2},
    {kZak50b, 50, F::kFalling,    1, 200, 160, kNoFlame, In(100, 339), At(-160),     Keep(),       In(70, 124), kStraight,  Bottom(),             B::kCluster, 7, 4, kFliesOn,  2},
    {kZak51,  51, F::kFalling,    1, 200, 160, kNoFlame, In(100, 339), At(-166),     Keep(),       In(60, 109), kStraight,  Bottom(),             B::kCluster, 7, 4, kFliesOn,  2},
    {kZak52,  52, F::kFalling,    1, 200, 160, kNoFlame, In(100, 339), At(-160),     Keep(),       In(70, 124), kStraight,  Bottom(),             B::kCluster, 7, 4, kFliesOn,  2},
    {kZak53,  53, F::kFalling,    1, 200, 160, kNoFlame, In(100, 339), At(-160),     Keep(),       In(70, 124), kStraight,  Bottom(),             B::kCluster, 7, 4, kFliesOn,  2},
    {kZak54c, 54, F::kCrossing,   1, 240, 180, kNoFlame, At(-130),     In(0, 479),   In(50, 99),   Keep(),      kRightward, RightOf(540),         B::kCluster, 7, 4, kFliesOn,  2},
    {kZak54d, 54, F::kCrossing,   1, 240, 180, kNoFlame, At(540),      In(0, 479),   In(50, 99),   Keep(),      kLeftward,  LeftOf(-130),         B::kCluster, 7, 4, kFliesOn,  2},
};

// The new-game reset: these groups park elsewhere, start with a pass count
// or get random velocities (drawn vx then vy, record by record).
constexpr ResetRow kResets[] = {
    // group  park x  park y  passes vx         vy
    {kZak6,   kParkX, kParkY, 10, In(-50, 49),  In(70, 139)},
    {kZak7,     -400, kParkY,  0, Keep(),       Keep()},
    {kZak9,   kParkX,   -500,  0, Keep(),       Keep()},
    {kZak10a, kParkX, kParkY,  0, In(-50, 149), In(100, 199)},
    {kZak10b, kParkX, kParkY,  0, In(-50, 149), In(100, 279)},
    {kZak11,  kParkX,   -500,  0, Keep(),       Keep()},
    {kZak19,  kParkX,   -500,  0, Keep(),       Keep()},
    {kZak21,  kParkX,   -500,  0, Keep(),       Keep()},
    {kZak22,  kParkX,   -500,  0, Keep(),       Keep()},
    {kZak23,  kParkX,   -500,  0, Keep(),       Keep()},
    {kZak24,  kParkX,   -500,  0, Keep(),       Keep()},
};

constexpr bool kAnimated = true;
constexpr bool kSingle = false;

// One row per bullet kind, grouped by owner in Group order, kinds in
// declaration order. Spawn draws vy before vx.
constexpr BulletRow kBullets[] = {
    // group  kind sprite recs offset  side        vx          vy            lo  animated
    {kZak4a,  0, kVal12,  3,  22,  50, kRightward, In(30, 69), In(100, 199), 24, kSingle},
    {kZak4b,  0, kVal12,  3,  22,  50, kLeftward,  In(30, 69), In(100, 199), 24, kSingle},
    {kZak5,   0, kVal11,  3,  32,  50, kStraight,  Keep(),     In(100, 199), 24, kSingle},
    {kZak6,   0, kVal11,  3,  32,  50, kStraight,  Keep(),     In(100, 199), 24, kSingle},
    {kZak7,   0, kVal13,  3,  32,  50, kStraight,  Keep(),     In(130, 229), 24, kSingle},
    {kZak9,   0, kVal13,  3,  42,  50, kStraight,  Keep(),     In(100, 149), 24, kSingle},
    {kZak9,   1, kVal13,  3,  42,  50, kLeftward,  At(20),     In(100, 149), 24, kSingle},
    {kZak9,   2, kVal13,  3,  42,  50, kRightward, At(20),     In(100, 149), 24, kSingle},
    {kZak10a, 0, kVal12,  3,  42,  50, kStraight,  Keep(),     In(100, 149), 24, kSingle},
    {kZak10a, 1, kVal12,  3,  42,  50, kLeftward,  At(30),     In(100, 149), 24, kSingle},
    {kZak10a, 2, kVal12,  3,  42,  50, kRightward, At(30),     In(100, 149), 24, kSingle},
    {kZak10b, 0, kVal12,  3,  42,  50, kStraight,  Keep(),     In(100, 149), 24, kSingle},
    {kZak10b, 1, kVal12,  3,  42,  50, kLeftward,  At(30),     In(100, 149), 24, kSingle},
    {kZak10b, 2, kVal12,  3,  42,  50, kRightward, At(30),     In(100, 149), 24, kSingle},
    {kZak11,  0, kVal11,  4,  32,  70, kStraight,  Keep(),     In(100, 149), 24, kSingle},
    {kZak11,  1, kVal11,  4,  32,  70, kLeftward,  At(30),     In(100, 149), 24, kSingle},
    {kZak11,  2, kVal11,  4,  32,  70, kRightward, At(30),     In(100, 149), 24, kSingle},
    {kZak11,  3, kVal11,  4,  32,  70, kLeftward,  At(46),     In(100, 149), 24, kSingle},
    {kZak11,  4, kVal11,  4,  32,  70, kRightward, At(46),     In(100, 149), 24, kSingle},
    {kZak12a, 0, kVal13,  4,  32,  50, kStraight,  Keep(),     In(100, 129), 24, kSingle},
    {kZak12a, 1, kVal13,  4,  32,  50, kLeftward,  At(30),     In(100, 129), 24, kSingle},
    {kZak12a, 2, kVal13,  4,  32,  50, kRightward, At(30),     In(100, 129), 24, kSingle},
    {kZak12b, 0, kVal13,  4,  32,  50, kStraight,  Keep(),     In(100, 129), 24, kSingle},
    {kZak12b, 1, kVal13,  4,  32,  50, kLeftward,  At(30),     In(100, 129), 24, kSingle},
    {kZak12b, 2, kVal13,  4,  32,  50, kRightward, At(30),     In(100, 129), 24, kSingle},
    {kZak13,  0, kVal13,  6,  32,  50, kStraight,  Keep(),     At(100),      24, kSingle},
    {kZak13,  1, kVal13,  6,  32,  50, kLeftward,  At(20),     At(90),       24, kSingle},
    {kZak13,  2, kVal13,  6,  32,  50, kRightward, At(20),     At(90),       24, kSingle},
    {kZak14,  0, kVal11,  5,  32,  50, kStraight,  Keep(),     At(110),      24, kSingle},
    {kZak14,  1, kVal11,  5,  32,  50, kLeftward,  At(10),     At(105),      24, kSingle},
    {kZak14,  2, kVal11,  5,  32,  50, kRightward, At(10),     At(105),      24, kSingle},
    {kZak14,  3, kVal11,  5,  32,  50, kLeftward,  At(20),     At(96),       24, kSingle},
    {kZak14,  4, kVal11,  5,  32,  50, kRightward, At(20),     At(96),       24, kSingle},
    {kZak54a, 0, kVal11,  3, 112,  50, kStraight,  Keep(),     At(110),      24, kSingle},
    {kZak54a, 1, kVal11,  3, 112,  50, kLeftward,  At(10),     At(105),      24, kSingle},
    {kZak54a, 2, kVal11,  3, 112,  50, kRightward, At(10),     At(105),      24, kSingle},
    {kZak54a, 3, kVal11,  3, 112,  50, kLeftward,  At(20),     At(96),       24, kSingle},
    {kZak54a, 4, kVal11,  3, 112,  50, kRightward, At(20),     At(96),       24, kSingle},
    {kZak54b, 0, kVal11,  3, 112,  50, kStraight,  Keep(),     At(110),      24, kSingle},
    {kZak54b, 1, kVal11,  3, 112,  50, kLeftward,  At(10),     At(105),      24, kSingle},
    {kZak54b, 2, kVal11,  3, 112,  50, kRightward, At(10),     At(105),      24, kSingle},
    {kZak54b, 3, kVal11,  3, 112,  50, kLeftward,  At(20),     At(96),       24, kSingle},
    {kZak54b, 4, kVal11,  3, 112,  50, kRightward, At(20),     At(96),       24, kSingle},
    {kZak19,  0, kVal13,  3,  32,  40, kStraight,  Keep(),     At(130),      24, kSingle},
    {kZak19,  1, kVal13,  3,  32,  44, kLeftward,  At(20),     At(130),      24, kSingle},
    {kZak19,  2, kVal13,  3,  32,  44, kRightward, At(20),     At(130),      24, kSingle},
    {kZak19,  3, kVal13,  3,  32,  30, kLeftward,  At(40),     At(130),      24, kSingle},
    {kZak19,  4, kVal13,  3,  32,  30, kRightward, At(40),     At(130),      20, kSingle},
    {kZak21,  0, kVal13,  3,  37,  40, kStraight,  Keep(),     At(130),      24, kSingle},
    {kZak21,  1, kVal13,  3,  37,  44, kLeftward,  At(20),     At(130),      24, kSingle},
    {kZak21,  2, kVal13,  3,  37,  44, kRightward, At(20),     At(130),      24, kSingle},
    {kZak21,  3, kVal13,  3,  37,  30, kLeftward,  At(40),     At(130),      24, kSingle},
    {kZak21,  4, kVal13,  3,  42,  30, kRightward, At(40),     At(130),      20, kSingle},
    {kZak22,  0, kVal13,  3,  37,  40, kStraight,  Keep(),     At(130),      24, kSingle},
    {kZak22,  1, kVal13,  3,  37,  44, kLeftward,  At(20),     At(130),      24, kSingle},
    {kZak22,  2, kVal13,  3,  37,  44, kRightward, At(20),     At(130),      24, kSingle},
    {kZak22,  3, kVal13,  3,  37,  30, kLeftward,  At(40),     At(130),      24, kSingle},
    {kZak22,  4, kVal13,  3,  42,  30, kRightward, At(40),     At(130),      20, kSingle},
    {kZak23,  0, kVal13,  3,  37,  40, kStraight,  Keep(),     At(130),      24, kSingle},
    {kZak23,  1, kVal13,  3,  37,  44, kLeftward,  At(20),     At(130),      24, kSingle},
    {kZak23,  2, kVal13,  3,  37,  44, kRightward, At(20),     At(130),      24, kSingle},
    {kZak24,  0, kVal13,  3,  37,  40, kStraight,  Keep(),     At(130),      24, kSingle},
    {kZak24,  1, kVal13,  3,  37,  44, kLeftward,  At(20),     At(130),      24, kSingle},
    {kZak24,  2, kVal13,  3,  37,  44, kRightward, At(20),     At(130),      24, kSingle},
    {kZak50a, 0, kVal1,  10, 142, 100, kLeftward,  In(20, 69), In(60, 109),  24, kAnimated},
    {kZak50a, 1, kVal1,  10,  42, 100, kRightward, In(20, 69), In(60, 109),  24, kAnimated},
    {kZak50b, 0, kVal2,  10, 142, 100, kLeftward,  In(20, 69), In(60, 109),  24, kAnimated},
    {kZak50b, 1, kVal2,  10,  42, 100, kRightward, In(20, 69), In(60, 109),  24, kAnimated},
    {kZak51,  0, kVal1,  10, 142, 100, kLeftward,  In(20, 69), In(60, 109),  24, kAnimated},
    {kZak51,  1, kVal1,  10,  42, 100, kRightward, In(20, 69), In(60, 109),  24, kAnimated},
    {kZak52,  0, kVal3,  10, 142, 100, kLeftward,  In(20, 69), In(60, 109),  24, kAnimated},
    {kZak52,  1, kVal3,  10,  42, 100, kRightward, In(20, 69), In(60, 109),  24, kAnimated},
    {kZak53,  0, kVal3,  10, 142, 100, kLeftward,  In(20, 69), In(60, 109),  24, kAnimated},
    {kZak53,  1, kVal3,  10,  42, 100, kRightward, In(20, 69), In(60, 109),  24, kAnimated},
    {kZak54c, 0, kVal1,  10, 162, 100, kLeftward,  In(20, 69), In(60, 119),  24, kAnimated},
    {kZak54c, 1, kVal1,  10,  62, 100, kRightward, In(20, 69), In(60, 119),  24, kAnimated},
    {kZak54d, 0, kVal1,  10, 162, 100, kLeftward,  In(20, 69), In(60, 119),  24, kAnimated},
    {kZak54d, 1, kVal1,  10,  62, 100, kRightward, In(20, 69), In(60, 119),  24, kAnimated},
};
constexpr int kBulletRows = int(sizeof kBullets / sizeof kBullets[0]);

// Index of the first bullet row of every group.
struct FirstRows {
  int at[kGroupCount];
};

constexpr FirstRows MakeFirstRows() {
  FirstRows f{};
  for (int g = kGroupCount - 1; g >= 0; --g) {
    f.at[g] = kBulletRows;
    for (int r = kBulletRows - 1; r >= 0; --r)
      if (kBullets[r].group == g) f.at[g] = r;
  }
  return f;
}
constexpr FirstRows kFirstRow = MakeFirstRows();

// The tables must agree with the Group enum and with each other.
constexpr bool TablesAgree() {
  for (int g = 0; g < kGroupCount; ++g) {
    const GroupRow& row = kGroups[g];
    if (row.group != g || row.records < 1 || row.records > kMaxGroupRecords) return false;
    if (row.bulletKinds > kMaxBulletKinds) return false;
    const int sheetCells = row.blast == B::kZbak2 ? 8 : 10;  // ZBAK2 holds 8 cells, ZBAK3 10
    if (row.passes < 1 || row.lastCell < 0 || row.lastCell >= sheetCells) return false;
    for (int k = 0; k < row.bulletKinds; ++k) {
      const int r = kFirstRow.at[g] + k;
      if (r >= kBulletRows || kBullets[r].group != g || kBullets[r].kind != k) return false;
      // One bullet record per enemy record; ten for the one-record ships.
      const int records = row.records == 1 ? kMaxBulletRecords : row.records;
      if (kBullets[r].records != records) return false;
    }
  }
  int total = 0;
  for (const GroupRow& row : kGroups) total += row.bulletKinds;
  return total == kBulletRows;
}
static_assert(TablesAgree(), "group and bullet tables disagree");

}  // namespace

const Offset kCluster[kClusterCells] = {{-25, 35}, {135, 35},  {55, -45},  {55, 115},
                                        {-2, -22}, {112, -22}, {-2, 92},   {112, 92}};

const GroupRow& GroupInfo(Group g) { return kGroups[g]; }

const ResetRow* GroupReset(Group g) {
  for (const ResetRow& row : kResets)
    if (row.group == g) return &row;
  return nullptr;
}

const BulletRow& BulletInfo(Group g, int kind) { return kBullets[kFirstRow.at[g] + kind]; }

}  // namespace game
