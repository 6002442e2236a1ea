// The objects of data.dat, one a line, in the order the game reaches them:
//     RESOURCE(index, name, kind, file the build packs into it)
// The RES_ indices, the datafile build (assets/pack_data.cmake reads these
// lines), the datafile check and the tests all derive from this list. The
// kind is the library's object type without its DAT_ prefix. Include it with
// RESOURCE defined; keep one object a line.
RESOURCE(0, PALETTE, PALETTE, palette.bmp)
RESOURCE(1, SKY, BITMAP, sky.bmp)
RESOURCE(2, BARREL, BITMAP, barrel.bmp)
RESOURCE(3, GUN_BASE, BITMAP, gun_base.bmp)
RESOURCE(4, GAME_OVER, BITMAP, game_over.bmp)
RESOURCE(5, CURSOR, BITMAP, cursor.bmp)
RESOURCE(6, FONT, FONT, font.txt)
RESOURCE(7, TROOPER, BITMAP, trooper.bmp)
RESOURCE(8, SND_BODY_HIT, SAMPLE, body_hit.wav)
RESOURCE(9, SND_CHUTE_HIT, SAMPLE, chute_hit.wav)
RESOURCE(10, SND_GAME_OVER, SAMPLE, game_over.wav)
RESOURCE(11, SND_LANDING, SAMPLE, landing.wav)
RESOURCE(12, SND_SHOT, SAMPLE, shot.wav)
RESOURCE(13, TROOPER_FALL_B, BITMAP, trooper_fall_b.bmp)
RESOURCE(14, TROOPER_FALL_A, BITMAP, trooper_fall_a.bmp)
