// A plain reference model of the audio path, written from the description of the sound alone: scalar, one pole
// after another, every step in the stated order and precision. It shares no code with the plug-in.
#pragma once

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace model
{
struct GrainRecord
{
    int density = 8, envelope = 0;
    float size = 441.0f, speed = 1.0f, sizeRnd = 0.0f, speedRnd = 0.0f, ampRnd = 0.0f, gain = 1.0f;
    bool freeze = false;
};
struct ResonatorRecord { float freq = 220.0f, feedback = 0.9f; };
struct DiffuserRecord { float feedback = 0.0f, damp = 1.0f; };

/** Entry i of the window of an envelope, 1 the triangle, 2 the Hann window, computed where it is read. */
inline float window (int envelope, int i)
{
    if (envelope == 1)
        return i < 1024 ? (float) i / 1024.0f : 2.0f - (float) i / 1024.0f;
    return 0.5f * (1.0f - (float) std::cos ((double) i * (2.0 * M_PI) / 2047.0));
}

struct Cloud
{
    int bufferLength = 176400, writePosition = 0;
    std::vector<float> recording = std::vector<float> (176400, 0.0f);
    float readPosition[64] = {}, speedOffset[64] = {};
    std::vector<float> amplitude = std::vector<float> (64, 1.0f), inverseLength = std::vector<float> (64, 1.0f);
    int regionStart[64] = {}, nextStart[64] = {}, nextLength[64] = {};
    std::vector<int> regionLength = std::vector<int> (64, 1);
    bool regionPending[64] = {}, takeAllPending = true;
    double sampleRate = 44100.0;
    GrainRecord parameters;
    juce::int64 seed = 0; // every draw of regions takes this seed and moves it on by one

    void blockUpdate (const GrainRecord& p)
    {
        const bool same = p.density == parameters.density && p.size == parameters.size && p.sizeRnd == parameters.sizeRnd
                          && p.speedRnd == parameters.speedRnd && p.ampRnd == parameters.ampRnd;
        parameters = p;
        if (same)
            return;
        juce::Random random (seed++);
        const float startRange = std::trunc ((float) bufferLength - p.size - 1.0f), shrinkRange = std::trunc (p.size - 441.0f);
        for (int i = 0; i < p.density; ++i)
        {
            nextStart[i] = (int) (random.nextFloat() * startRange);
            nextLength[i] = (int) (p.size - random.nextFloat() * p.sizeRnd * shrinkRange);
            const bool positive = random.nextBool();
            const float m = random.nextFloat() * p.speedRnd * 0.5f;
            speedOffset[i] = positive ? m : -m;
            amplitude[i] = 1.0f - random.nextFloat() * p.ampRnd;
            inverseLength[i] = 1.0f / (float) std::max (regionLength[i], 1);
            regionPending[i] = true;
        }
    }

    float sampleUpdate (float x)
    {
        if (! parameters.freeze)
        {
            recording[(size_t) writePosition] = x;
            writePosition = writePosition + 1 == bufferLength ? 0 : writePosition + 1;
        }
        const bool windowed = parameters.envelope == 1 || parameters.envelope == 2; // anything else plays no window
        const float* r = recording.data();
        const float last = (float) (bufferLength - 1);
        float sum = 0.0f;
        for (int i = 0; i < parameters.density; ++i)
        {
            const int start = regionStart[i], end = regionStart[i] + regionLength[i];
            if (end >= bufferLength)
                return sum;
            const float pos = std::clamp ((readPosition[i] - (float) start) * inverseLength[i], 0.0f, 1.0f);
            const float w = windowed ? window (parameters.envelope, (int) (pos * 2047.0f)) : 0.0f;
            const float p = readPosition[i] < 0.0f || readPosition[i] > last ? 0.0f : readPosition[i];
            const int k = (int) p, k2 = p < last ? k + 1 : 0;
            const float s = r[k] + (r[k2] - r[k]) * (p - (float) k);
            const float contribution = windowed ? (w * amplitude[i]) * s : s * amplitude[i];

            float q = (parameters.speed + speedOffset[i]) + p;
            while (q >= (float) end)
                q = (q - (float) end) + (float) start;
            readPosition[i] = q;

            if ((p > q || takeAllPending) && regionPending[i])
            {
                regionPending[i] = false;
                if (nextStart[i] + nextLength[i] < bufferLength)
                {
                    regionStart[i] = nextStart[i];
                    regionLength[i] = nextLength[i];
                    readPosition[i] = (float) nextStart[i];
                    inverseLength[i] = 1.0f / (float) std::max (nextLength[i], 1);
                }
            }
            sum += contribution;
        }
        takeAllPending = false;
        return sum * parameters.gain;
    }

    void updateSamplerate (double rate)
    {
        if (rate == sampleRate)
            return;
        const auto ratio = (float) (rate / sampleRate);
        sampleRate = rate;
        bufferLength = (int) ((float) bufferLength * ratio + 1.0f);
        recording.resize ((size_t) bufferLength);
        for (auto& length : regionLength)
            length = (int) ((float) length * ratio + 1.0f);
        reset();
    }

    void reset()
    {
        std::fill (recording.begin(), recording.end(), 0.0f);
        writePosition = 0;
        std::fill_n (regionStart, 64, 0);
        std::fill_n (nextStart, 64, 0);
    }
};

struct Resonator
{
    float feedback = 0.9f, state[6] = {}, lastOut = 0.0f, coefficient = 0.9f;

    void blockUpdate (const ResonatorRecord& r, double inverseSampleRate)
    {
        feedback = r.feedback;
        const double c = 1.0 - 4.0 * (double) (r.freq * (float) inverseSampleRate);
        coefficient = c < 0.0 ? 0.0f : (float) std::min (c, 1.0);
    }

    float sampleUpdate (float u)
    {
        float v = lastOut * feedback + u;
        for (auto& s : state)
        {
            const float w = coefficient * s + v;
            v = s - coefficient * w;
            s = w;
        }
        return lastOut = v;
    }
};

struct Diffuser
{
    struct Line
    {
        float gain;
        int delay, length = 44100, readIndex = 0, writeIndex = 0;
        double sampleRate = 44100.0;
        std::vector<float> buffer = std::vector<float> (44100, 0.0f);
    };
    Line lines[3] = { { 0.72f, 1146 }, { 0.73f, 1411 }, { 0.76f, 1808 } }; // 26, 32 and 41 ms at 44.1 kHz
    float feedback = 0.0f, damp = 1.0f, lastOut = 0.0f, lowpassState = 0.0f;

    void updateSamplerate (double rate)
    {
        for (auto& line : lines)
        {
            if (rate != line.sampleRate)
                line.delay = (int) ((float) line.delay * ((float) (int) rate / (float) line.length)) + 1;
            line.sampleRate = rate;
            line.length = (int) rate;
            line.buffer.assign ((size_t) line.length, 0.0f);
            line.readIndex = line.writeIndex = 0;
        }
        lastOut = lowpassState = 0.0f;
    }

    float sampleUpdate (float send)
    {
        const float lp = (lastOut * feedback) * damp + (1.0f - damp) * lowpassState;
        float v = (feedback * -0.65f + 1.0f) * send + lp;
        for (auto& line : lines)
        {
            line.readIndex = line.writeIndex - line.delay + (line.writeIndex - line.delay < 0 ? line.length : 0);
            const float d = line.buffer[(size_t) line.readIndex];
            const float w = d * line.gain + v;
            line.buffer[(size_t) line.writeIndex] = w;
            v = d - line.gain * w;
            line.writeIndex = line.writeIndex + 1 == line.length ? 0 : line.writeIndex + 1;
        }
        lowpassState = lp;
        return lastOut = v;
    }
};

struct Smoother
{
    float current, target, step = 0.0f;
    int countdown = 0, rampLength = 0;
    std::vector<float> values;

    Smoother (float value) : current (value), target (value) {}

    // A new target starts a ramp of the full length from the current value, or jumps when there is no ramp length.
    void fill (float t, int n)
    {
        if (t != target)
        {
            target = t;
            countdown = std::max (rampLength, 0);
            current = countdown == 0 ? t : current;
            step = countdown == 0 ? step : (t - current) / (float) countdown;
        }
        values.resize ((size_t) n);
        for (int i = 0; i < n; ++i)
        {
            if (countdown > 0)
                current = --countdown == 0 ? target : current + step;
            values[(size_t) i] = countdown == 0 ? target : current;
        }
    }
};

/** The processor's audio path. Host parameters come in by identifier, in their own ranges. */
struct Processor
{
    using Parameters = std::function<float (const char*)>;

    GrainRecord grain[4][2];
    ResonatorRecord resonator[4][2];
    DiffuserRecord diffuser[2] = { { 0.1f, 0.7f }, { 0.1f, 0.7f } };
    juce::Random worldRandom;

    Cloud clouds[4][2];
    Resonator resonators[4][2];
    Diffuser diffusers[2];
    float dcCoefficient = 0.0f, dcX1[2] = {}, dcY1[2] = {};
    // in_gain, out_gain, dry_wet, x_pos, y_pos, pole_a_diff .. pole_d_diff, at their defaults
    Smoother smoothers[9] = { 1.0f, 1.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f };

    double sampleRate = 44100.0, inverseSampleRate = 1.0 / 44100.0;
    int trajectoryInterval = 256, trajectoryCounter = 0;
    float trajectoryAudioX = 0.0f, trajectoryAudioY = 0.0f;
    float trajectoryX = 0.0f, trajectoryY = 0.0f, xLow = 0.0f, xHigh = 0.0f, yLow = 0.0f, yHigh = 0.0f;
    bool xDirection = true, yDirection = true;
    float rmsLevel = 0.0f;

    float draw (float start, float end) { return start + (end - start) * worldRandom.nextFloat(); }

    void randomizeGranulizer (int pole, int channel)
    {
        auto& g = grain[pole][channel];
        g.density = 8;
        g.envelope = 2;
        // Each choice is drawn before the value it picks.
        g.size = (float) ((double) ((worldRandom.nextBool() ? draw (20.0f, 100.0f) : draw (100.0f, 599.0f)) * 0.001f) * sampleRate);
        g.speed = worldRandom.nextBool() ? draw (0.95f, 1.025f) : draw (0.5f, 2.0f);
        g.sizeRnd = draw (0.0f, 0.25f);
        g.ampRnd = worldRandom.nextFloat();
        g.speedRnd = worldRandom.nextBool() ? draw (0.0f, 0.01f) : draw (0.0f, 0.5f);
    }

    void regeneratePole (int pole)
    {
        for (int ch = 0; ch < 2; ++ch)
        {
            resonator[pole][ch].freq = draw (80.0f, 960.0f);
            resonator[pole][ch].feedback = draw (0.0f, 0.9f);
            randomizeGranulizer (pole, ch);
        }
    }

    void regenerateWorld()
    {
        for (int pole = 0; pole < 4; ++pole)
            regeneratePole (pole);
        for (auto& d : diffuser)
            d.feedback = draw (0.1f, 0.9f);
    }

    void prepareToPlay (double rate, const Parameters& raw)
    {
        for (int p = 0; p < 4; ++p)
            for (int ch = 0; ch < 2; ++ch)
            {
                std::fill_n (resonators[p][ch].state, 6, resonators[p][ch].lastOut = 0.0f);
                clouds[p][ch].updateSamplerate (rate);
                clouds[p][ch].reset();
            }
        for (int ch = 0; ch < 2; ++ch)
        {
            diffusers[ch].updateSamplerate (rate);
            dcX1[ch] = dcY1[ch] = 0.0f;
        }
        dcCoefficient = (float) (1.0 + (-126.0 / (double) (float) rate));
        sampleRate = rate;
        inverseSampleRate = 1.0 / rate;
        trajectoryInterval = (int) (256.0 * rate / 44100.0);
        trajectoryCounter = 0;
        for (auto& s : smoothers)
        {
            s.rampLength = (int) std::floor ((double) 0.06f * rate);
            s.current = s.target;
            s.countdown = 0;
        }
        followPosition (raw);
    }

    // With the trajectory off (and on preparation) the point follows the position and both directions reset.
    void followPosition (const Parameters& raw)
    {
        trajectoryX = raw ("x_pos");
        trajectoryY = raw ("y_pos");
        xDirection = yDirection = true;
    }

    void stepTrajectory (bool on, const Parameters& raw)
    {
        if (! on)
            return followPosition (raw);
        const auto clamp01 = [] (float v) { return v < 0.0f ? 0.0f : std::min (1.0f, v); };
        const float dx = raw ("x_traj_amount") * 0.01f, dy = raw ("y_traj_amount") * 0.01f;
        const float nx = trajectoryX + (xDirection ? dx : -dx), ny = trajectoryY + (yDirection ? dy : -dy);
        xLow = clamp01 (raw ("x_pos") - raw ("x_traj_range"));
        xHigh = clamp01 (raw ("x_pos") + raw ("x_traj_range"));
        yLow = clamp01 (raw ("y_pos") - raw ("y_traj_range"));
        yHigh = clamp01 (raw ("y_pos") + raw ("y_traj_range"));
        xDirection = xDirection != (nx < xLow || nx > xHigh);
        yDirection = yDirection != (ny < yLow || ny > yHigh);
        trajectoryAudioX = trajectoryX = nx < xLow ? xLow : std::min (xHigh, nx);
        trajectoryAudioY = trajectoryY = ny < yLow ? yLow : std::min (yHigh, ny);
    }

    void processBlock (float* const* channels, int numChannels, int n, const Parameters& raw)
    {
        const auto gain = [] (float dB) { return dB > -100.0f ? std::pow (10.0f, dB * 0.05f) : 0.0f; };
        const float targets[9] = { gain (raw ("in_gain")), gain (raw ("out_gain")), raw ("dry_wet"), raw ("x_pos"), raw ("y_pos"),
                                   raw ("pole_a_diff"), raw ("pole_b_diff"), raw ("pole_c_diff"), raw ("pole_d_diff") };
        for (int k = 0; k < 9; ++k)
            smoothers[k].fill (targets[k], n);
        const auto& [inGain, outGain, dryWet, xPos, yPos, sendA, sendB, sendC, sendD] = smoothers;
        const float* sends[4] = { sendA.values.data(), sendB.values.data(), sendC.values.data(), sendD.values.data() };

        const bool trajectoryOn = raw ("trajectory") > 0.5f;
        const bool linked[4] = { raw ("stereo_link_a") > 0.5f, raw ("stereo_link_b") > 0.5f, raw ("stereo_link_c") > 0.5f, raw ("stereo_link_d") > 0.5f };
        float levelSum = 0.0f;

        for (int ch = 0; ch < numChannels; ++ch)
        {
            float* x = channels[ch];
            const std::vector<float> dry (x, x + n);
            for (int i = 0; i < n; ++i)
                x[i] *= inGain.values[(size_t) i];

            diffusers[ch].feedback = diffuser[ch].feedback;
            diffusers[ch].damp = diffuser[ch].damp;
            for (int p = 0; p < 4; ++p)
            {
                clouds[p][ch].blockUpdate (grain[p][linked[p] ? 0 : ch]);
                resonators[p][ch].blockUpdate (resonator[p][linked[p] ? 0 : ch], inverseSampleRate);
            }

            for (int i = 0; i < n; ++i)
            {
                if (ch == 0 && trajectoryCounter == 0)
                    stepTrajectory (trajectoryOn, raw);
                if (ch == 0 && ++trajectoryCounter == trajectoryInterval)
                    trajectoryCounter = 0;

                float o[4];
                for (int p = 0; p < 4; ++p)
                    o[p] = std::sin (resonators[p][ch].sampleUpdate (std::sin (clouds[p][ch].sampleUpdate (x[i])) * 0.9f));
                const float px = trajectoryOn ? trajectoryAudioX : std::clamp (xPos.values[(size_t) i], 0.0f, 1.0f);
                const float py = trajectoryOn ? trajectoryAudioY : std::clamp (yPos.values[(size_t) i], 0.0f, 1.0f);
                const float weights[4] = { (1.0f - px) * (1.0f - py), px * (1.0f - py), (1.0f - px) * py, px * py };
                float direct = 0.0f, send = 0.0f;
                for (int p = 0; p < 4; ++p)
                {
                    direct += weights[p] * (1.0f - sends[p][i]) * o[p];
                    send += weights[p] * sends[p][i] * o[p];
                }
                x[i] = direct + diffusers[ch].sampleUpdate (send);
            }

            // Output gain, DC blocker and the level of the wet signal, then the equal-power mix with the dry copy.
            double squares = 0.0;
            for (int i = 0; i < n; ++i)
            {
                const float y = x[i] * outGain.values[(size_t) i];
                x[i] = dcY1[ch] = (y - dcX1[ch]) + dcCoefficient * dcY1[ch];
                dcX1[ch] = y;
                squares += (double) (x[i] * x[i]);
            }
            levelSum += n > 0 ? (float) std::sqrt (squares / n) : 0.0f;

            const auto P = [] (float t) { return (0.03705f * t - 0.4967f) * t + 1.0f; };
            for (int i = 0; i < n; ++i)
            {
                const float m = std::clamp (dryWet.values[(size_t) i], 0.0f, 1.0f);
                const auto dryAngle = (float) ((double) m * (M_PI / 2.0)), wetAngle = (float) ((1.0 - (double) m) * (M_PI / 2.0));
                x[i] = P (wetAngle * wetAngle) * x[i] + P (dryAngle * dryAngle) * dry[(size_t) i];
            }
        }
        rmsLevel = levelSum / (float) numChannels;
    }
};
} // namespace model
