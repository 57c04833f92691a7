// Synthesises the game's seven sound cues and its wood background tile.
// Usage: quintelle_gen_assets <output folder>
// Writes <folder>/sounds/<NAME>.wav and <folder>/tile.bmp. Everything is
// computed from fixed seeds, so every build produces identical bytes.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

// Small deterministic generator (xorshift); std:: distributions differ between
// standard libraries, this does not.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed ? seed : 1u) {}
    double next() {  // uniform in [-1, 1)
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

  private:
    std::uint32_t state_;
};

// ---------------------------------------------------------------- byte output

class Bytes {
  public:
    void u8(unsigned v) { data_.push_back(static_cast<char>(v & 0xFF)); }
    void u16(unsigned v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void s16(int v) { u16(static_cast<unsigned>(v) & 0xFFFF); }
    void tag(const char (&t)[5]) { data_.append(t, 4); }
    std::size_t size() const { return data_.size(); }
    const std::string& str() const { return data_; }

  private:
    std::string data_;
};

bool writeWhole(const std::filesystem::path& path, const std::string& bytes) {
    // Write beside the target and rename, so an interrupted build never leaves
    // a truncated file that a later build would take as up to date.
    auto temp = path;
    temp += ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
}

// --------------------------------------------------------------------- sounds

struct WaveFormat {
    const char* name;
    std::size_t fileSize;  // the whole RIFF file, as the game ships it
    unsigned channels;
    unsigned rate;
    unsigned bits;
    bool withFact;  // 18-byte "fmt " (cbSize 0) plus a "fact" chunk
};

constexpr std::size_t headerSize(const WaveFormat& f) {
    return 12 + (f.withFact ? 8 + 18 + 8 + 4 : 8 + 16) + 8;
}

constexpr unsigned blockAlign(const WaveFormat& f) {
    return f.channels * f.bits / 8;
}

constexpr std::size_t frameCount(const WaveFormat& f) {
    return (f.fileSize - headerSize(f)) / blockAlign(f);
}

// One channel of samples in [-1, 1].
using Channel = std::vector<double>;
using Synth = std::function<std::vector<Channel>(std::size_t frames, double rate)>;

double midiHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// A struck bell-like tone: a few harmonics decaying at their own speeds.
void addBell(Channel& out, double rate, double start, double hz, double gain, double decay) {
    const std::array<double, 4> partial{1.0, 2.0, 3.01, 4.2};
    const std::array<double, 4> level{1.0, 0.35, 0.12, 0.05};
    const auto first = static_cast<std::size_t>(start * rate);
    const double nyquist = rate / 2.0;
    for (std::size_t i = first; i < out.size(); ++i) {
        const double t = static_cast<double>(i - first) / rate;
        const double attack = std::min(1.0, t / 0.004);
        double v = 0.0;
        for (std::size_t p = 0; p < partial.size(); ++p) {
            const double f = hz * partial[p];
            if (f > nyquist * 0.9) break;
            v += level[p] * std::exp(-t * decay * (1.0 + 0.7 * static_cast<double>(p))) *
                 std::sin(2.0 * pi * f * t);
        }
        out[i] += gain * attack * v;
    }
}

// A soft sustained tone with a few odd harmonics and slight vibrato.
void addHum(Channel& out, double rate, double start, double length, double hz, double gain,
            double detune) {
    const auto first = static_cast<std::size_t>(start * rate);
    const auto last = std::min(out.size(), static_cast<std::size_t>((start + length) * rate));
    double phase = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        const double t = static_cast<double>(i - first) / rate;
        const double env = std::sin(pi * std::min(1.0, t / length));
        const double f = hz * detune * (1.0 + 0.004 * std::sin(2.0 * pi * 5.5 * t));
        phase += 2.0 * pi * f / rate;
        const double v =
            std::sin(phase) + 0.3 * std::sin(3.0 * phase) + 0.1 * std::sin(5.0 * phase);
        out[i] += gain * env * env * v;
    }
}

// Band-limited noise: the difference of two one-pole low-passes.
class BandNoise {
  public:
    BandNoise(std::uint32_t seed, double rate) : noise_(seed), rate_(rate) {}
    double next(double lowHz, double highHz) {
        const double n = noise_.next();
        const double aHigh = 1.0 - std::exp(-2.0 * pi * highHz / rate_);
        const double aLow = 1.0 - std::exp(-2.0 * pi * lowHz / rate_);
        high_ += aHigh * (n - high_);
        low_ += aLow * (n - low_);
        return high_ - low_;
    }

  private:
    Noise noise_;
    double rate_;
    double high_ = 0.0;
    double low_ = 0.0;
};

std::vector<Channel> entered(std::size_t frames, double rate) {
    // Warm welcome: a rising major triad that rings together.
    Channel c(frames, 0.0);
    addBell(c, rate, 0.00, midiHz(72), 0.55, 4.0);
    addBell(c, rate, 0.11, midiHz(76), 0.50, 4.5);
    addBell(c, rate, 0.22, midiHz(79), 0.50, 4.5);
    addBell(c, rate, 0.22, midiHz(60), 0.30, 3.0);
    return {c};
}

std::vector<Channel> turnnew(std::size_t frames, double rate) {
    // A riffle: a run of short paper clicks that speed up, then one settle.
    Channel c(frames, 0.0);
    BandNoise noise(0x51ED, rate);
    std::vector<double> clicks;
    double at = 0.01;
    for (int k = 0; k < 14; ++k) {
        clicks.push_back(at);
        at += 0.028 - 0.0012 * k;
    }
    clicks.push_back(at + 0.03);
    for (std::size_t n = 0; n < clicks.size(); ++n) {
        const auto first = static_cast<std::size_t>(clicks[n] * rate);
        const double gain = n + 1 == clicks.size() ? 1.0 : 0.55 + 0.03 * static_cast<double>(n);
        const double length = n + 1 == clicks.size() ? 0.05 : 0.012;
        for (std::size_t i = first;
             i < frames && i < first + static_cast<std::size_t>(length * rate); ++i) {
            const double t = static_cast<double>(i - first) / rate;
            c[i] += gain * std::exp(-t / (length / 4.0)) * noise.next(900.0, 6500.0);
        }
    }
    return {c};
}

std::vector<Channel> placecard(std::size_t frames, double rate) {
    // A soft snap: a short burst of card noise over a low thump.
    Channel c(frames, 0.0);
    BandNoise noise(0xCA4D, rate);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double snap = std::exp(-t / 0.012) * noise.next(400.0, 4000.0);
        const double thump = 0.6 * std::exp(-t / 0.03) * std::sin(2.0 * pi * 140.0 * t);
        c[i] = snap + thump;
    }
    return {c};
}

std::vector<Channel> replace(std::size_t frames, double rate) {
    // A swish: noise whose band sweeps upward under a rise-and-fall envelope.
    Channel c(frames, 0.0);
    BandNoise noise(0x5715, rate);
    const double length = static_cast<double>(frames) / rate;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double u = t / length;
        const double centre = 500.0 + 2800.0 * u;
        const double env = std::pow(std::sin(pi * u), 2.0) * (1.0 - 0.4 * u);
        c[i] = env * noise.next(centre * 0.6, centre * 1.4);
    }
    return {c};
}

std::vector<Channel> invalid(std::size_t frames, double rate) {
    // A gentle low "nope": two soft falling notes, slightly detuned left and right.
    Channel left(frames, 0.0);
    Channel right(frames, 0.0);
    addHum(left, rate, 0.02, 0.30, midiHz(57), 0.45, 0.998);
    addHum(right, rate, 0.02, 0.30, midiHz(57), 0.45, 1.002);
    addHum(left, rate, 0.34, 0.42, midiHz(53), 0.45, 1.002);
    addHum(right, rate, 0.34, 0.42, midiHz(53), 0.45, 0.998);
    return {left, right};
}

std::vector<Channel> roundover(std::size_t frames, double rate) {
    // A bright rising arpeggio: C E G C.
    Channel c(frames, 0.0);
    const std::array<int, 4> notes{72, 76, 79, 84};
    for (std::size_t n = 0; n < notes.size(); ++n)
        addBell(c, rate, 0.01 + 0.11 * static_cast<double>(n), midiHz(notes[n]), 0.45, 5.0);
    return {c};
}

std::vector<Channel> winner(std::size_t frames, double rate) {
    // A closing flourish: a quick run up, then a full chord that rings out.
    Channel c(frames, 0.0);
    const std::array<int, 5> run{67, 71, 74, 77, 79};
    for (std::size_t n = 0; n < run.size(); ++n)
        addBell(c, rate, 0.01 + 0.07 * static_cast<double>(n), midiHz(run[n]), 0.35, 7.0);
    for (int note : {60, 67, 72, 76, 79}) addBell(c, rate, 0.40, midiHz(note), 0.28, 3.2);
    return {c};
}

// Normalises to a safe peak and applies short fades, so no cue clicks or clips.
void finish(std::vector<Channel>& channels, double rate) {
    double peak = 1e-9;
    for (const auto& c : channels)
        for (double v : c) peak = std::max(peak, std::abs(v));
    const double gain = 0.8 / peak;
    const auto fade = static_cast<std::size_t>(0.006 * rate);
    for (auto& c : channels) {
        for (std::size_t i = 0; i < c.size(); ++i) {
            double env = 1.0;
            if (i < fade) env = 0.5 - 0.5 * std::cos(pi * static_cast<double>(i) / fade);
            const std::size_t fromEnd = c.size() - 1 - i;
            if (fromEnd < fade)
                env *= 0.5 - 0.5 * std::cos(pi * static_cast<double>(fromEnd) / fade);
            c[i] *= gain * env;
        }
    }
}

std::string wave(const WaveFormat& f, const Synth& synth) {
    const std::size_t frames = frameCount(f);
    auto channels = synth(frames, f.rate);
    finish(channels, f.rate);

    const std::uint32_t dataSize = static_cast<std::uint32_t>(frames * blockAlign(f));
    Bytes b;
    b.tag("RIFF");
    b.u32(static_cast<std::uint32_t>(f.fileSize - 8));
    b.tag("WAVE");
    b.tag("fmt ");
    b.u32(f.withFact ? 18 : 16);
    b.u16(1);  // PCM
    b.u16(f.channels);
    b.u32(f.rate);
    b.u32(f.rate * blockAlign(f));
    b.u16(blockAlign(f));
    b.u16(f.bits);
    if (f.withFact) {
        b.u16(0);  // cbSize
        b.tag("fact");
        b.u32(4);
        b.u32(static_cast<std::uint32_t>(frames));
    }
    b.tag("data");
    b.u32(dataSize);
    for (std::size_t i = 0; i < frames; ++i) {
        for (const auto& c : channels) {
            const double v = std::clamp(c[i], -1.0, 1.0);
            if (f.bits == 8)
                b.u8(static_cast<unsigned>(std::lround(128.0 + 127.0 * v)));
            else
                b.s16(static_cast<int>(std::lround(32767.0 * v)));
        }
    }
    while (b.size() < f.fileSize) b.u8(f.bits == 8 ? 128 : 0);  // word-aligned data pad
    return b.str();
}

// ----------------------------------------------------------------------- tile

constexpr int tileW = 100;
constexpr int tileH = 80;

// Value noise on a lattice that wraps at the tile's edges, so the texture
// built from it repeats without seams in both directions.
class PeriodicNoise {
  public:
    PeriodicNoise(int cellsX, int cellsY, std::uint32_t seed) : cx_(cellsX), cy_(cellsY) {
        Noise n(seed);
        grid_.resize(static_cast<std::size_t>(cx_ * cy_));
        for (auto& v : grid_) v = n.next();
    }
    double at(double x, double y) const {
        const double gx = x / tileW * cx_;
        const double gy = y / tileH * cy_;
        const int x0 = static_cast<int>(std::floor(gx));
        const int y0 = static_cast<int>(std::floor(gy));
        const double fx = smooth(gx - x0);
        const double fy = smooth(gy - y0);
        const double a = lerp(cell(x0, y0), cell(x0 + 1, y0), fx);
        const double b = lerp(cell(x0, y0 + 1), cell(x0 + 1, y0 + 1), fx);
        return lerp(a, b, fy);
    }

  private:
    static double smooth(double t) { return t * t * (3.0 - 2.0 * t); }
    static double lerp(double a, double b, double t) { return a + (b - a) * t; }
    double cell(int x, int y) const {
        x = ((x % cx_) + cx_) % cx_;
        y = ((y % cy_) + cy_) % cy_;
        return grid_[static_cast<std::size_t>(y * cx_ + x)];
    }
    int cx_;
    int cy_;
    std::vector<double> grid_;
};

std::string tile() {
    const PeriodicNoise warpCoarse(2, 2, 0xB0A7);
    const PeriodicNoise warpFine(5, 4, 0x0AC0);
    const PeriodicNoise streaks(4, 40, 0xF1B3);  // long thin fibres along the grain
    const PeriodicNoise pores(10, 80, 0x9035);
    const PeriodicNoise tone(3, 2, 0x70E5);
    const double base[3] = {166.0, 103.0, 51.0};

    const std::uint32_t rowBytes = tileW * 3;  // 300: already a multiple of 4
    const std::uint32_t pixelBytes = rowBytes * tileH;
    Bytes h;  // BITMAPFILEHEADER, then BITMAPINFOHEADER
    h.u8('B');
    h.u8('M');
    h.u32(14 + 40 + pixelBytes);
    h.u16(0);
    h.u16(0);
    h.u32(14 + 40);
    h.u32(40);
    h.u32(tileW);
    h.u32(tileH);  // positive: rows stored bottom-up
    h.u16(1);
    h.u16(24);
    h.u32(0);  // BI_RGB
    h.u32(pixelBytes);
    h.u32(2835);  // 72 dpi
    h.u32(2835);
    h.u32(0);
    h.u32(0);

    for (int row = tileH - 1; row >= 0; --row) {
        for (int x = 0; x < tileW; ++x) {
            const double y = row;
            const double warp = 4.0 * warpCoarse.at(x, y) + 1.2 * warpFine.at(x, y);
            // Grain lines run across the tile; a whole number of them fits its
            // height (and the spacing wobble has the tile's period), so they meet
            // themselves at the top and bottom edges.
            const double phase =
                2.0 * pi * (7.0 * (y + warp) / tileH) + 1.3 * std::sin(2.0 * pi * y / tileH);
            const double ring = 0.5 + 0.5 * std::sin(phase);
            const double line = std::pow(ring, 8.0);  // thin darker late-wood lines
            const double shade = 1.0 + 0.045 * tone.at(x, y) + 0.05 * streaks.at(x, y) +
                                 0.025 * pores.at(x, y) + 0.035 * (ring - 0.5) - 0.12 * line;
            const double pix[3] = {base[0] * shade, base[1] * (shade - 0.015 * line),
                                   base[2] * (shade - 0.03 * line)};
            for (int ch = 2; ch >= 0; --ch)  // stored as blue, green, red
                h.u8(static_cast<unsigned>(std::clamp(std::lround(pix[ch]), 0L, 255L)));
        }
    }
    return h.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quintelle_gen_assets <output folder>\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(out / "sounds", ec);
    if (ec) {
        std::cerr << "cannot create " << (out / "sounds") << ": " << ec.message() << '\n';
        return 1;
    }

    const std::array<std::pair<WaveFormat, Synth>, 7> cues{{
        {{"ENTERED", 8712, 1, 11025, 8, false}, entered},
        {{"INVALID", 35428, 2, 11025, 16, false}, invalid},
        {{"PLACECARD", 1642, 1, 11025, 8, true}, placecard},
        {{"REPLACE", 6444, 1, 11025, 16, false}, replace},
        {{"ROUNDOVER", 15920, 1, 22050, 8, false}, roundover},
        {{"TURNNEW", 19012, 1, 44100, 8, false}, turnnew},
        {{"WINNER", 23468, 1, 22050, 8, false}, winner},
    }};

    bool ok = true;
    for (const auto& [format, synth] : cues) {
        const std::string bytes = wave(format, synth);
        if (bytes.size() != format.fileSize) {
            std::cerr << format.name << ": built " << bytes.size() << " bytes, expected "
                      << format.fileSize << '\n';
            ok = false;
            continue;
        }
        const auto path = out / "sounds" / (std::string(format.name) + ".wav");
        if (!writeWhole(path, bytes)) {
            std::cerr << "cannot write " << path << '\n';
            ok = false;
        }
    }
    if (!writeWhole(out / "tile.bmp", tile())) {
        std::cerr << "cannot write " << (out / "tile.bmp") << '\n';
        ok = false;
    }
    return ok ? 0 : 1;
}
