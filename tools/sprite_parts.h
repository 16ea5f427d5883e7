// The sprite sheets by family; each writes its files into `dir` and
// returns false when one cannot be written.
#pragma once

namespace assets {

// "MY.BMP", "MYEND.BMP", "MYENDF.BMP", "FLH1.BMP", "FLH2.BMP", "MYMY.BMP".
bool WritePlayerSprites(const char* dir);
// The 26 "ZAK*.BMP" enemy ships.
bool WriteEnemySprites(const char* dir);
// The 11 "BOS*.BMP" bosses and fly-by pictures.
bool WriteBossSprites(const char* dir);
// Enemy and boss bullets: "VAL*.BMP".
bool WriteBulletSprites(const char* dir);
// Explosions, flames and sparks: "FBAK1.BMP", "GFBAK1.BMP", "ZBAK1.BMP" to
// "ZBAK3.BMP", "BBAK1.BMP", "SUNDER1.BMP", "ZFIRE1.BMP".
bool WriteEffectSprites(const char* dir);

}  // namespace assets
