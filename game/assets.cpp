// Sample Game: the asset load. The order of the loads fixes the sprite
// handles; each handle is kept in its own field of the world's asset record.
#include "game/assets.h"

#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "game/world.h"
#include "sound/ox_sound.h"

namespace game {

namespace {

int Image(const char* name) { return oxDraw::LoadObject(name, 1); }

}  // namespace

void LoadAssets() {
  oxDraw::Screen(640, 480, 2);
  oxDraw::SetClip(130, 0, 510, 480);

  Assets& a = W().assets;
  a.title = Image("TITLE.BMP");
  a.attract[0] = Image("BTHK00.BMP");
  a.attract[1] = Image("BCG2.BMP");
  a.attract[2] = Image("BCG3.BMP");
  a.attract[3] = Image("BCG4.BMP");
  a.select = Image("BCG5.BMP");
  a.my = Image("MY.BMP");
  a.gfbak1 = Image("GFBAK1.BMP");
  a.mymy = Image("MYMY.BMP");
  a.myend = Image("MYEND.BMP");
  a.myendf = Image("MYENDF.BMP");
  a.mygoodn = Image("MYGOODN.BMP");
  a.flh1 = Image("FLH1.BMP");
  a.flh2 = Image("FLH2.BMP");
  a.fbak1 = Image("FBAK1.BMP");

  static constexpr const char* kZak[kZakImages] = {
      "ZAK1.BMP",  "ZAK4.BMP",  "ZAK5.BMP",  "ZAK6.BMP",  "ZAK7.BMP",  "ZAK8.BMP",  "ZAK9.BMP",
      "ZAK10.BMP", "ZAK11.BMP", "ZAK12.BMP", "ZAK13.BMP", "ZAK14.BMP", "ZAK17.BMP", "ZAK18.BMP",
      "ZAK19.BMP", "ZAK20.BMP", "ZAK21.BMP", "ZAK22.BMP", "ZAK23.BMP", "ZAK24.BMP", "ZAK50.BMP",
      "ZAK51.BMP", "ZAK52.BMP", "ZAK53.BMP", "ZAK54.BMP", "ZAK55.BMP"};
  for (int i = 0; i < kZakImages; ++i) a.zak[i] = Image(kZak[i]);

  static constexpr const char* kVal[6] = {"VAL11.BMP", "VAL12.BMP", "VAL13.BMP",
                                          "VAL1.BMP",  "VAL2.BMP",  "VAL3.BMP"};
  for (int i = 0; i < 6; ++i) a.val[i] = Image(kVal[i]);

  static constexpr const char* kBos[11] = {"BOS11.BMP", "BOS21.BMP",  "BOS31.BMP",  "BOS41.BMP",
                                           "BOS51.BMP", "BOS61.BMP",  "BOS71.BMP",  "BOS81.BMP",
                                           "BOS111.BMP", "BOS511.BMP", "BOS711.BMP"};
  for (int i = 0; i < 11; ++i) a.bos[i] = Image(kBos[i]);

  // The stage 7 and stage 8 bosses each keep a handle of their own for the
  // same picture.
  static constexpr const char* kBossBullet[4] = {"VAL20.BMP", "VAL401.BMP", "VAL402.BMP",
                                                 "VAL402.BMP"};
  for (int i = 0; i < 4; ++i) a.bossBullet[i] = Image(kBossBullet[i]);

  a.zbak1 = Image("ZBAK1.BMP");
  a.zbak2 = Image("ZBAK2.BMP");
  a.zbak3 = Image("ZBAK3.BMP");
  a.bbak1 = Image("BBAK1.BMP");
  a.sunder1 = Image("SUNDER1.BMP");

  static constexpr const char* kBkm[6] = {"BKM1h.BMP", "BKM1m.BMP", "BKM2.BMP",
                                          "BKM3.BMP",  "BKM4.BMP",  "BKM5.BMP"};
  for (int i = 0; i < 6; ++i) a.bkm[i] = Image(kBkm[i]);
  a.zfire1 = Image("ZFIRE1.BMP");

  a.shotWav = oxSound::LoadObject("SHOT.WAV", 6);
  a.bomWav = oxSound::LoadObject("BOM.WAV", 7);

  static constexpr const char* kBack[8] = {"BACK1.BMP", "BACK2.BMP", "BACK3.BMP", "BACK4.BMP",
                                           "BACK5.BMP", "BACK6.BMP", "BACK7.BMP", "BACK8.BMP"};
  for (int i = 0; i < 8; ++i) a.back[i] = Image(kBack[i]);

  W().highScore = 5000;
  ox::ChangeScene(1);
}

}  // namespace game
