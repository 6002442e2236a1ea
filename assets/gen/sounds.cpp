#include "sounds.h"

#include "sound_synth.h"

namespace {
// Peak level of every effect: loud enough to read, never harsh at full volume.
constexpr float PEAK = 0.62f;

// The gun: a short low thump under a bright crack and a falling noise tail.
const EffectRecipe SHOT{"shot.wav", 0.13f,
    ToneVoice{190.0f, 52.0f, 0.045f, 30.0f, 1.0f},
    NoiseVoice{5200.0f, 300.0f, 0.0008f, 32.0f, 0.75f, 0.0f}};

// A shell through the canopy: a crackling rip of cloth.
const EffectRecipe CHUTE_HIT{"chute_hit.wav", 0.21f,
    ToneVoice{},
    NoiseVoice{3600.0f, 700.0f, 0.012f, 9.0f, 1.0f, 520.0f}};

// A shell through the body: a dull, muffled thud.
const EffectRecipe BODY_HIT{"body_hit.wav", 0.11f,
    ToneVoice{130.0f, 68.0f, 0.03f, 38.0f, 1.0f},
    NoiseVoice{900.0f, 60.0f, 0.001f, 55.0f, 0.45f, 0.0f}};

// Boots on the ground: a soft low bump.
const EffectRecipe LANDING{"landing.wav", 0.16f,
    ToneVoice{92.0f, 55.0f, 0.06f, 24.0f, 0.9f},
    NoiseVoice{500.0f, 40.0f, 0.008f, 30.0f, 0.35f, 0.0f}};

// The game is lost: a falling minor phrase, the last note held.
const PhraseRecipe GAME_OVER{"game_over.wav",
    {{392.00f, 0.18f}, {311.13f, 0.18f}, {261.63f, 0.18f}, {196.00f, 0.30f}},
    5.0f, 0.006f, 0.35f, 0.22f};
} // namespace

void writeSounds(const std::string& dir)
{
    for (const EffectRecipe* r : {&SHOT, &CHUTE_HIT, &BODY_HIT, &LANDING})
        writeWave(dir + "/" + r->file, renderEffect(*r), PEAK);
    writeWave(dir + "/" + GAME_OVER.file, renderPhrase(GAME_OVER), PEAK * 0.9f);
}
