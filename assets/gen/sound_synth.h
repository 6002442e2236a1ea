#pragma once

#include <string>
#include <vector>

constexpr int SAMPLE_RATE = 22050;

// A sine "body" whose pitch glides from startHz to endHz, then decays.
struct ToneVoice {
    float startHz = 0;
    float endHz = 0;
    float glideSeconds = 0.05f;  // time to reach endHz
    float decayPerSecond = 20;   // exponential amplitude decay rate
    float level = 0;             // 0 = silent
};

// Filtered white noise with its own envelope.
struct NoiseVoice {
    float lowpassHz = 4000;
    float highpassHz = 50;
    float attackSeconds = 0.002f;
    float decayPerSecond = 30;
    float level = 0;
    float grainsPerSecond = 0;   // > 0 chops the noise into crackling grains (tearing cloth)
};

// One percussive sound effect, as mixed tone and noise.
struct EffectRecipe {
    const char* file;
    float seconds;
    ToneVoice tone;
    NoiseVoice noise;
};

// One note of a phrase.
struct Note {
    float hz;
    float seconds;
};

// A short melody on a soft square-ish voice.
struct PhraseRecipe {
    const char* file;
    std::vector<Note> notes;
    float vibratoHz = 5.0f;
    float vibratoDepth = 0.004f;  // fraction of the pitch
    float brightness = 0.35f;     // weight of the odd harmonics
    float releaseSeconds = 0.3f;  // tail after the last note
};

// Renders an effect to samples in -1..1.
std::vector<float> renderEffect(const EffectRecipe& r);
// Renders a phrase to samples in -1..1.
std::vector<float> renderPhrase(const PhraseRecipe& r);
// Scales to the given peak, fades out the end and writes a 16-bit mono WAV file (little-endian, byte by byte).
void writeWave(const std::string& path, std::vector<float> samples, float peak);
