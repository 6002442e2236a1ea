#include "sound_synth.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <stdexcept>


namespace {
constexpr float TWO_PI = 6.2831853f;

// One-pole low-pass coefficient for a cutoff frequency.
float onePole(float hz)
{
    return 1.0f - std::exp(-TWO_PI * hz / SAMPLE_RATE);
}
} // namespace

std::vector<float> renderEffect(const EffectRecipe& r)
{
    const int n = static_cast<int>(r.seconds * SAMPLE_RATE);
    std::vector<float> out(static_cast<size_t>(n), 0.0f);
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> white(-1.0f, 1.0f);
    float phase = 0, low = 0, low2 = 0, lowForHigh = 0, grainGain = 0, grainTarget = 1;
    int grainLeft = 0;
    const float lowK = onePole(r.noise.lowpassHz), highK = onePole(r.noise.highpassHz);
    for (int i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float s = 0;
        if (r.tone.level > 0) {
            const float g = std::min(1.0f, t / r.tone.glideSeconds);
            const float hz = r.tone.startHz + (r.tone.endHz - r.tone.startHz) * g;
            phase += TWO_PI * hz / SAMPLE_RATE;
            const float attack = std::min(1.0f, t / 0.002f);
            s += r.tone.level * attack * std::exp(-r.tone.decayPerSecond * t) * std::sin(phase);
        }
        if (r.noise.level > 0) {
            // Two low-pass stages for a soft top, one for the low cut.
            low += lowK * (white(rng) - low);
            low2 += lowK * (low - low2);
            lowForHigh += highK * (low2 - lowForHigh);
            float v = low2 - lowForHigh;
            if (r.noise.grainsPerSecond > 0) {
                // Random bursts of random strength: the crackle of fibres giving way.
                if (--grainLeft <= 0) {
                    grainLeft = 1 + static_cast<int>(SAMPLE_RATE / r.noise.grainsPerSecond * (0.3f + 1.4f * (white(rng) * 0.5f + 0.5f)));
                    grainTarget = 0.15f + 0.85f * (white(rng) * 0.5f + 0.5f);
                }
                grainGain += 0.2f * (grainTarget - grainGain);
                v *= grainGain;
            }
            const float attack = std::min(1.0f, t / r.noise.attackSeconds);
            s += r.noise.level * attack * std::exp(-r.noise.decayPerSecond * t) * v;
        }
        out[static_cast<size_t>(i)] = s;
    }
    return out;
}

std::vector<float> renderPhrase(const PhraseRecipe& r)
{
    float total = r.releaseSeconds;
    for (const Note& note : r.notes)
        total += note.seconds;
    std::vector<float> out(static_cast<size_t>(total * SAMPLE_RATE), 0.0f);
    size_t start = 0;
    for (size_t k = 0; k < r.notes.size(); ++k) {
        const Note& note = r.notes[k];
        const bool last = k + 1 == r.notes.size();
        const float length = note.seconds + (last ? r.releaseSeconds : 0.06f);  // notes overlap slightly
        const int n = static_cast<int>(length * SAMPLE_RATE);
        float phase = 0;
        for (int i = 0; i < n && start + i < out.size(); ++i) {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float hz = note.hz * (1.0f + r.vibratoDepth * std::sin(TWO_PI * r.vibratoHz * t));
            phase += TWO_PI * hz / SAMPLE_RATE;
            const float tone = std::sin(phase) + r.brightness * (std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5);
            const float attack = 0.5f - 0.5f * std::cos(3.1415926f * std::min(1.0f, t / 0.02f));
            const float decay = std::exp(-(last ? 2.2f : 3.0f) * t);
            const float release = std::clamp((length - t) / 0.05f, 0.0f, 1.0f);
            out[start + static_cast<size_t>(i)] += tone * attack * decay * release;
        }
        start += static_cast<size_t>(note.seconds * SAMPLE_RATE);
    }
    return out;
}

void writeWave(const std::string& path, std::vector<float> samples, float peak)
{
    float top = 1e-6f;
    for (float s : samples)
        top = std::max(top, std::fabs(s));
    const size_t n = samples.size();
    const size_t fade = std::min<size_t>(n / 4, SAMPLE_RATE / 100);
    for (size_t i = 0; i < fade; ++i)
        samples[n - 1 - i] *= static_cast<float>(i) / fade;  // no click at the end

    std::vector<int> pcm(n);
    for (size_t i = 0; i < n; ++i) {
        // Soft saturation keeps the loudest peaks round.
        const float v = std::tanh(samples[i] / top * peak * 1.2f) / std::tanh(1.2f);
        pcm[i] = static_cast<int>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
    }
    std::ofstream out(path, std::ios::binary);
    const auto u32 = [&out](unsigned long v) {
        for (int k = 0; k < 4; ++k)
            out.put(static_cast<char>((v >> (8 * k)) & 0xff));
    };
    const auto u16 = [&out](unsigned v) {
        out.put(static_cast<char>(v & 0xff));
        out.put(static_cast<char>((v >> 8) & 0xff));
    };
    const unsigned long dataBytes = 2UL * n;
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);                // PCM
    u16(1);                // mono
    u32(SAMPLE_RATE);
    u32(SAMPLE_RATE * 2UL);
    u16(2);                // bytes per frame
    u16(16);               // bits per sample
    out.write("data", 4);
    u32(dataBytes);
    for (int v : pcm)
        u16(static_cast<unsigned>(v) & 0xffffu);
    if (!out)
        throw std::runtime_error("cannot write " + path);
}
