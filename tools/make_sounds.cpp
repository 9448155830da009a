// Writes the pet's nine voice sounds (16-bit mono PCM wave files) into the folder named on the
// command line. The voice is a small formant synthesiser: a buzzing source whose pitch glides,
// shaped by three resonances that glide between vowels, with a puff of noise for consonants.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = std::numbers::pi;

struct Vowel {
    double f1, f2, f3;
};

// Adult vowel resonances raised by a third: the pet is small.
constexpr double kSmall = 1.33;
constexpr Vowel A{850 * kSmall, 1300 * kSmall, 2600 * kSmall};
constexpr Vowel E{480 * kSmall, 2000 * kSmall, 2700 * kSmall};
constexpr Vowel I{320 * kSmall, 2500 * kSmall, 3100 * kSmall};
constexpr Vowel O{520 * kSmall, 880 * kSmall, 2500 * kSmall};
constexpr Vowel U{340 * kSmall, 820 * kSmall, 2300 * kSmall};

Vowel mix(const Vowel& a, const Vowel& b, double t) {
    return {a.f1 + (b.f1 - a.f1) * t, a.f2 + (b.f2 - a.f2) * t, a.f3 + (b.f3 - a.f3) * t};
}

// One syllable: pitch and vowel glide from start to end; `puff` is the loudness of the noise
// burst that opens it (0 for a soft start), `gap` the silence after it.
struct Syllable {
    double seconds;
    double pitchFrom, pitchTo;
    Vowel from, to;
    double puff = 0;
    double gap = 0.03;
    double vibrato = 0;
    double breath = 0; // noise mixed through the whole syllable, for "h" and cries
};

// A two-pole resonance whose centre may move from sample to sample.
class Resonance {
  public:
    double step(double x, double freq, double bandwidth) {
        const double r = std::exp(-kPi * bandwidth / kRate);
        const double a1 = 2 * r * std::cos(2 * kPi * freq / kRate);
        const double a2 = -r * r;
        const double y = (1 - r) * x + a1 * m_y1 + a2 * m_y2;
        m_y2 = m_y1;
        m_y1 = y;
        return y;
    }

  private:
    double m_y1 = 0, m_y2 = 0;
};

std::vector<double> speak(const std::vector<Syllable>& syllables, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::vector<double> out;
    double phase = 0;
    Resonance r1, r2, r3, n2, n3;
    for (const Syllable& s : syllables) {
        const int n = static_cast<int>(s.seconds * kRate);
        for (int i = 0; i < n; ++i) {
            const double t = static_cast<double>(i) / n;
            const double glide = t * t * (3 - 2 * t);
            const double vib = 1 + s.vibrato * std::sin(2 * kPi * 7 * i / kRate);
            const double f0 = (s.pitchFrom + (s.pitchTo - s.pitchFrom) * glide) * vib;
            phase += 2 * kPi * f0 / kRate;
            if (phase > 2 * kPi) phase -= 2 * kPi;
            // A buzz with falling harmonics, kept below the upper band edge.
            double buzz = 0;
            for (int k = 1; k * f0 < 9000; ++k)
                buzz += std::sin(k * phase) / std::pow(k, 1.2);
            const Vowel v = mix(s.from, s.to, glide);
            const double hiss = noise(random);
            const double source = buzz * (1 - s.breath) + hiss * s.breath * 3;
            double y = r1.step(source, v.f1, 90) + 0.7 * r2.step(source, v.f2, 140) +
                       0.35 * r3.step(source, v.f3, 200);
            const double tSec = static_cast<double>(i) / kRate;
            if (s.puff > 0 && tSec < 0.02) {
                const double burst = s.puff * (1 - tSec / 0.02);
                y += burst * (n2.step(hiss, 3800, 900) + n3.step(hiss, 5200, 1200)) * 1.2;
            }
            const double attack = std::min(1.0, tSec / 0.012);
            const double release = std::min(1.0, (s.seconds - tSec) / 0.04);
            out.push_back(y * attack * release);
        }
        out.insert(out.end(), static_cast<size_t>(s.gap * kRate), 0.0);
    }
    return out;
}

// Peak at about -3 dB of full scale, with short fades so that nothing clicks.
std::vector<int16_t> finish(std::vector<double> samples) {
    const int fade = kRate / 200;
    for (int i = 0; i < fade && i < static_cast<int>(samples.size()); ++i) {
        samples[i] *= static_cast<double>(i) / fade;
        samples[samples.size() - 1 - i] *= static_cast<double>(i) / fade;
    }
    double peak = 0;
    for (double s : samples)
        peak = std::max(peak, std::abs(s));
    const double gain = peak > 0 ? 0.707 * 32767 / peak : 0;
    std::vector<int16_t> pcm;
    pcm.reserve(samples.size());
    for (double s : samples)
        pcm.push_back(static_cast<int16_t>(std::lround(s * gain)));
    return pcm;
}

void put32(std::ofstream& f, uint32_t v) {
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    f.write(b, 4);
}

void put16(std::ofstream& f, uint16_t v) {
    const char b[2] = {char(v), char(v >> 8)};
    f.write(b, 2);
}

bool writeWave(const std::string& path, const std::vector<int16_t>& pcm) {
    std::ofstream f(path, std::ios::binary);
    const uint32_t bytes = static_cast<uint32_t>(pcm.size() * 2);
    f.write("RIFF", 4);
    put32(f, 36 + bytes);
    f.write("WAVEfmt ", 8);
    put32(f, 16);
    put16(f, 1); // PCM
    put16(f, 1); // mono
    put32(f, kRate);
    put32(f, kRate * 2);
    put16(f, 2);
    put16(f, 16);
    f.write("data", 4);
    put32(f, bytes);
    for (int16_t s : pcm)
        put16(f, static_cast<uint16_t>(s));
    return static_cast<bool>(f);
}

struct Sound {
    const char* name;
    std::vector<Syllable> syllables;
};

std::vector<Sound> voice() {
    std::vector<Sound> sounds;
    // Remarks: chirpy babble, each with its own tune.
    sounds.push_back({"say1",
                      {{0.11, 620, 700, I, I, 0.8, 0.04},
                       {0.13, 560, 520, O, O, 0.6, 0.04},
                       {0.22, 600, 880, E, I, 0.5, 0.0}}});
    sounds.push_back({"say2",
                      {{0.09, 700, 760, I, I, 0.0, 0.02},
                       {0.09, 760, 700, I, E, 0.0, 0.05},
                       {0.12, 640, 600, E, A, 0.7, 0.03},
                       {0.20, 620, 520, A, A, 0.0, 0.0, 0.02}}});
    sounds.push_back(
        {"say3", {{0.22, 480, 620, U, O, 0.0, 0.05}, {0.30, 650, 470, O, A, 0.4, 0.0, 0.015}}});
    sounds.push_back({"say4",
                      {{0.07, 900, 980, I, I, 0.9, 0.05},
                       {0.07, 900, 980, I, I, 0.9, 0.05},
                       {0.12, 820, 1000, E, I, 0.6, 0.03},
                       {0.16, 760, 560, I, U, 0.0, 0.0}}});
    // Cries: falling yelps.
    sounds.push_back({"pain1", {{0.42, 1050, 420, A, U, 0.0, 0.0, 0.03, 0.12}}});
    sounds.push_back({"pain2", {{0.34, 1350, 800, I, I, 0.8, 0.0, 0.02, 0.15}}});
    sounds.push_back({"pain3",
                      {{0.18, 900, 760, A, O, 0.0, 0.02, 0.0, 0.1},
                       {0.36, 980, 430, U, I, 0.3, 0.0, 0.04, 0.1}}});
    sounds.push_back(
        {"pain4", {{0.10, 700, 1250, I, I, 0.6, 0.0}, {0.38, 1250, 500, A, E, 0, 0, 0.05, 0.12}}});
    // The giggle: short "hee"s stepping up, with a breath before each.
    std::vector<Syllable> giggle;
    for (int i = 0; i < 7; ++i) {
        const double base = 620 + 40 * i;
        giggle.push_back({0.085, base, base * 1.25, E, I, 0.0, 0.055, 0.0, 0.12});
    }
    giggle.back().seconds = 0.16;
    sounds.push_back({"laugh", giggle});
    return sounds;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <cdata folder>\n", argv[0]);
        return 2;
    }
    unsigned seed = 7;
    for (const Sound& s : voice()) {
        const std::string path = std::string(argv[1]) + "/" + s.name + ".wav";
        if (!writeWave(path, finish(speak(s.syllables, seed++)))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
