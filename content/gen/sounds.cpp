// Sounds of the benchmark flight (sound\): the turboprop loops heard outside, in the cockpit
// and in the cabin, the gear and flap motors, the crew and tower voice lines and the evening
// music. Loops are built from whole periods of the loop length (spectra turned into time by an
// inverse FFT), so they join without a click. Voices are spoken by espeak-ng when it is
// installed and shaped like a cabin address or a radio call.
#include "content.h"
#include "image.h"
#include "wave.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <unistd.h>
#include <fstream>
#include <string>
#include <vector>

namespace content {

namespace {

using Cx = std::complex<double>;

void fft(std::vector<Cx>& a, bool inverse)
{
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double ang = 2 * M_PI / double(len) * (inverse ? 1 : -1);
    const Cx wl(std::cos(ang), std::sin(ang));
    for (size_t i = 0; i < n; i += len) {
      Cx w(1);
      for (size_t k = 0; k < len / 2; ++k) {
        const Cx u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w *= wl;
      }
    }
  }
}

constexpr size_t kLoop = 1 << 17; // samples per engine loop (2.97 s)

// A periodic signal of kLoop samples from a magnitude per frequency (Hz) with random phases.
std::vector<float> periodic(const std::function<double(double)>& magnitude, uint32_t seed)
{
  std::vector<Cx> bins(kLoop);
  for (size_t k = 1; k < kLoop / 2; ++k) {
    const double f = double(k) * kRate / double(kLoop);
    const double m = magnitude(f);
    if (m <= 0) continue;
    const double ph = 2 * M_PI * hashNoise(int(k), 0, seed);
    bins[k] = std::polar(m, ph);
    bins[kLoop - k] = std::conj(bins[k]);
  }
  fft(bins, true);
  std::vector<float> out(kLoop);
  for (size_t i = 0; i < kLoop; ++i) out[i] = float(bins[i].real());
  return out;
}

// Bin index nearest to a frequency, so that tones repeat exactly within the loop.
double onBin(double f) { return std::round(f * double(kLoop) / kRate) * kRate / double(kLoop); }

struct EngineMix {
  double bladeL, bladeR;      // blade passing frequencies (Hz)
  double harmonicsFall;       // how fast the blade harmonics fade
  double noiseLevel, noiseCut;
  double whine, whineLevel;
  double lowCut;              // overall low-pass (Hz)
};

std::vector<int16_t> engineLoop(const EngineMix& m, uint32_t seed)
{
  auto tones = [&](double f, double bpf) {
    double a = 0;
    for (int h = 1; h <= 40; ++h) {
      const double fh = onBin(bpf * h);
      if (std::fabs(f - fh) < 0.5 * kRate / double(kLoop)) a += std::pow(double(h), -m.harmonicsFall);
    }
    return a;
  };
  auto shape = [&](double f, bool left) {
    const double lp = 1 / (1 + std::pow(f / m.lowCut, 4));
    double a = 0;
    a += 900 * tones(f, left ? m.bladeL : m.bladeR) + 500 * tones(f, left ? m.bladeR : m.bladeL);
    a += m.noiseLevel * 60 / (1 + std::pow(f / m.noiseCut, 2)) / std::sqrt(1 + f / 200);
    if (std::fabs(f - onBin(m.whine)) < 0.5 * kRate / double(kLoop)) a += m.whineLevel * 2000;
    if (std::fabs(f - onBin(m.whine * 1.5)) < 0.5 * kRate / double(kLoop)) a += m.whineLevel * 700;
    return a * lp;
  };
  const std::vector<float> l = periodic([&](double f) { return shape(f, true); }, seed);
  const std::vector<float> r = periodic([&](double f) { return shape(f, false); }, seed + 1);
  float peak = 1e-6f;
  for (size_t i = 0; i < kLoop; ++i) peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
  std::vector<float> st(kLoop * 2);
  for (size_t i = 0; i < kLoop; ++i) {
    st[i * 2] = l[i] / peak * 0.7f;
    st[i * 2 + 1] = r[i] / peak * 0.7f;
  }
  return toPcm16(st);
}

// Mono one-shot helpers.
std::vector<float> gearSound()
{
  const int n = int(10.5 * kRate);
  std::vector<float> s(size_t(n), 0.0f);
  double ph = 0;
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    const double run = std::clamp(t / 0.6, 0.0, 1.0) * std::clamp((10.2 - t) / 0.5, 0.0, 1.0);
    const double load = t < 7 ? 1.0 : 0.7;
    const double f = 95 + 40 * run * load + 8 * std::sin(2 * M_PI * 0.7 * t);
    ph += 2 * M_PI * f / kRate;
    double v = run * (0.22 * std::sin(ph) + 0.1 * std::sin(2 * ph + 0.4) + 0.05 * std::sin(5 * ph));
    v += run * 0.06 * (hashNoise(i, 0, 91) * 2 - 1) * (0.5 + 0.5 * std::sin(ph * 0.5));
    // Clunks: uplock release, leg locking, doors closing.
    for (double c : {0.15, 7.0, 9.1, 9.9}) {
      const double dt = t - c;
      if (dt >= 0 && dt < 0.35) v += 0.8 * std::exp(-dt * 28) * std::sin(2 * M_PI * (70 - 40 * dt) * dt) +
                                     0.25 * std::exp(-dt * 60) * (hashNoise(i, 1, 92) * 2 - 1);
    }
    s[size_t(i)] = float(v);
  }
  return s;
}

std::vector<float> flapSound()
{
  const int n = int(6.4 * kRate);
  std::vector<float> s(size_t(n), 0.0f);
  double ph = 0;
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    const double run = std::clamp(t / 0.3, 0.0, 1.0) * std::clamp((6.1 - t) / 0.3, 0.0, 1.0);
    const double f = 380 + 60 * run;
    ph += 2 * M_PI * f / kRate;
    double v = run * (0.18 * std::sin(ph) + 0.08 * std::sin(3 * ph) + 0.04 * std::sin(7 * ph));
    v += run * 0.04 * (hashNoise(i, 0, 93) * 2 - 1);
    const double dt = t - 6.1;
    if (dt >= 0 && dt < 0.3) v += 0.4 * std::exp(-dt * 40) * std::sin(2 * M_PI * 90 * dt);
    s[size_t(i)] = float(v);
  }
  return s;
}

// Reads a 16-bit PCM mono wave file (espeak-ng's output); returns samples in -1..1 and the rate.
bool readWav(const std::string& path, std::vector<float>& out, int& rate)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (d.size() < 44 || std::string(d.begin(), d.begin() + 4) != "RIFF") return false;
  size_t p = 12;
  int channels = 1;
  rate = 22050;
  while (p + 8 <= d.size()) {
    const std::string id(d.begin() + long(p), d.begin() + long(p) + 4);
    uint32_t size = uint32_t(d[p + 4]) | uint32_t(d[p + 5]) << 8 | uint32_t(d[p + 6]) << 16 | uint32_t(d[p + 7]) << 24;
    if (id == "fmt " && p + 16 <= d.size()) {
      channels = d[p + 10];
      rate = int(uint32_t(d[p + 12]) | uint32_t(d[p + 13]) << 8 | uint32_t(d[p + 14]) << 16);
    }
    if (id == "data") {
      size = std::min<uint32_t>(size, uint32_t(d.size() - p - 8));
      for (size_t i = 0; i + 1 < size; i += 2 * size_t(channels))
        out.push_back(float(int16_t(d[p + 8 + i] | d[p + 9 + i] << 8)) / 32768.0f);
      return true;
    }
    p += 8 + size + (size & 1);
  }
  return false;
}

// Speaks a line with espeak-ng; empty when the program is missing.
std::vector<float> speak(const std::string& text, const std::string& voice, int speed, int pitch)
{
  static bool warned = false;
  const std::string tmp = (std::filesystem::temp_directory_path() / ("trvx-voice-" + std::to_string(::getpid()) + ".wav")).string();
  const std::string cmd = "espeak-ng -v " + voice + " -s " + std::to_string(speed) + " -p " + std::to_string(pitch) + " -w '" +
                          tmp + "' \"" + text + "\" 2>/dev/null";
  std::vector<float> in;
  int rate = 0;
  if (std::system(cmd.c_str()) != 0 || !readWav(tmp, in, rate) || rate <= 0) {
    if (!warned) std::fprintf(stderr, "trvx-content: warning: espeak-ng not available, voice lines are tones\n");
    warned = true;
    std::filesystem::remove(tmp);
    return {};
  }
  std::filesystem::remove(tmp);
  // Resample to the output rate (linear; speech is band-limited well below the old Nyquist).
  std::vector<float> out(size_t(double(in.size()) * kRate / rate));
  for (size_t i = 0; i < out.size(); ++i) {
    const double x = double(i) * rate / kRate;
    const size_t k = size_t(x);
    const double f = x - double(k);
    const float a = in[std::min(k, in.size() - 1)], b = in[std::min(k + 1, in.size() - 1)];
    out[i] = float(a + (b - a) * f);
  }
  return out;
}

// Biquad band-pass / low-pass filter state (RBJ cookbook).
struct Biquad {
  double b0, b1, b2, a1, a2, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  static Biquad make(double f, double q, bool highPass)
  {
    const double w = 2 * M_PI * f / kRate, al = std::sin(w) / (2 * q), c = std::cos(w);
    Biquad b{};
    const double a0 = 1 + al;
    if (highPass) {
      b.b0 = (1 + c) / 2 / a0; b.b1 = -(1 + c) / a0; b.b2 = (1 + c) / 2 / a0;
    } else {
      b.b0 = (1 - c) / 2 / a0; b.b1 = (1 - c) / a0; b.b2 = (1 - c) / 2 / a0;
    }
    b.a1 = -2 * c / a0;
    b.a2 = (1 - al) / a0;
    return b;
  }
  float run(float x)
  {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1; x1 = x; y2 = y1; y1 = y;
    return float(y);
  }
};

enum class Style { Plain, Cabin, Radio };

std::vector<float> voiceLine(const std::string& text, const std::string& voice, int speed, int pitch, Style style,
                             float leadSeconds, uint32_t seed)
{
  std::vector<float> v = speak(text, voice, speed, pitch);
  if (v.empty()) {
    // Stand-in: a murmur of tones as long as the text would take.
    v.resize(size_t(text.size() * 0.06 * kRate));
    for (size_t i = 0; i < v.size(); ++i) {
      const double t = double(i) / kRate;
      v[i] = float(0.2 * std::sin(2 * M_PI * (140 + 30 * std::sin(t * 9)) * t) * (0.5 + 0.5 * std::sin(t * 23)));
    }
  }
  std::vector<float> out(size_t(leadSeconds * kRate), 0.0f);
  const size_t pad = size_t(0.12 * kRate);
  if (style == Style::Radio) {
    // Push-to-talk click, band-limited voice with a little clipping and hiss, release click.
    Biquad hp = Biquad::make(380, 0.7, true), lp = Biquad::make(2800, 0.7, false), lp2 = Biquad::make(3200, 0.7, false);
    std::vector<float> body(pad + v.size() + pad, 0.0f);
    std::copy(v.begin(), v.end(), body.begin() + long(pad));
    for (size_t i = 0; i < body.size(); ++i) {
      float x = lp2.run(lp.run(hp.run(body[i] * 2.2f)));
      x = std::tanh(x * 1.6f) * 0.8f;
      x += 0.025f * (hashNoise(int(i), 0, seed) * 2 - 1);
      if (i < 300 || body.size() - i < 300) x += 0.3f * (hashNoise(int(i), 1, seed) * 2 - 1);
      out.push_back(x);
    }
  } else if (style == Style::Cabin) {
    // Cabin address: a chime, then the voice through a modest speaker.
    for (int i = 0; i < int(0.9 * kRate); ++i) {
      const double t = double(i) / kRate;
      const double f = t < 0.45 ? 988 : 784;
      const double tt = t < 0.45 ? t : t - 0.45;
      out.push_back(float(0.25 * std::exp(-tt * 3) * std::sin(2 * M_PI * f * tt)));
    }
    Biquad hp = Biquad::make(220, 0.7, true), lp = Biquad::make(5000, 0.7, false);
    for (float x : v) out.push_back(lp.run(hp.run(x)) * 1.3f);
  } else {
    for (float x : v) out.push_back(x);
  }
  out.insert(out.end(), pad, 0.0f);
  float peak = 1e-6f;
  for (float x : out) peak = std::max(peak, std::fabs(x));
  for (float& x : out) x *= 0.85f / peak;
  return out;
}

// Evening music: a slow four-chord progression with pads, an electric-piano arpeggio and a
// bass, 20 bars at 75 beats per minute (64 s), rendered into a ring so that it loops.
std::vector<int16_t> eveningMusic()
{
  const double beat = 0.8, bar = 4 * beat;
  const int bars = 20;
  const size_t n = size_t(bars * bar * kRate);
  std::vector<float> l(n, 0.0f), r(n, 0.0f);
  auto midi = [](double m) { return 440.0 * std::pow(2.0, (m - 69) / 12); };
  // Chords (MIDI notes): Dmaj9, Bm9, Gmaj7, A7sus, repeated; the last bars lead back round.
  const std::vector<std::vector<int>> chords = {{50, 57, 61, 64, 66}, {47, 54, 57, 61, 62}, {43, 50, 54, 57, 62}, {45, 52, 55, 59, 62}};
  // Oscillators run as rotating phasors: one complex multiply per sample instead of a sine.
  struct Osc {
    double c = 1, s = 0, dc, ds;
    Osc(double f, double phase) : c(std::cos(phase)), s(std::sin(phase)), dc(std::cos(2 * M_PI * f / kRate)), ds(std::sin(2 * M_PI * f / kRate)) {}
    double step()
    {
      const double v = s;
      const double nc = c * dc - s * ds;
      s = s * dc + c * ds;
      c = nc;
      return v;
    }
  };
  auto note = [&](double start, double dur, double freq, double amp, double pan, int kind) {
    const size_t s0 = size_t(start * kRate), len = size_t((dur + (kind == 1 ? 1.5 : 0.4)) * kRate);
    Osc a(freq, 0), b(kind == 0 ? freq * 2.003 : freq * 2, 0.3), c(kind == 0 ? freq * 0.998 : freq * 2, 1.0);
    const double decay = std::exp(-(kind == 1 ? 2.2 : 0.8) / kRate);
    double fall = 1;
    for (size_t i = 0; i < len; ++i) {
      const double t = double(i) / kRate;
      double env, v;
      const double va = a.step(), vb = b.step(), vc = c.step();
      fall *= decay;
      if (kind == 0) { // pad: slow attack and release
        env = std::min(1.0, t / 1.2) * (t > dur ? std::max(0.0, 1 - (t - dur) / 0.4) : 1.0);
        v = va + 0.35 * vb + 0.2 * vc;
      } else if (kind == 1) { // electric piano: a bell-like second partial that fades first
        env = fall * std::min(1.0, t * 300);
        v = va + 0.45 * vb * fall * fall;
      } else { // bass
        env = std::min(1.0, t * 80) * fall * (t > dur ? std::max(0.0, 1 - (t - dur) / 0.2) : 1.0);
        v = va + 0.3 * vb;
      }
      const size_t k = (s0 + i) % n;
      l[k] += float(v * env * amp * (1 - pan));
      r[k] += float(v * env * amp * (1 + pan));
    }
  };
  for (int b = 0; b < bars; ++b) {
    const auto& ch = chords[size_t(b / 2) % chords.size()];
    const double t0 = b * bar;
    if (b % 2 == 0)
      for (size_t i = 1; i < ch.size(); ++i) note(t0, 2 * bar - 0.4, midi(ch[i]), 0.045, (double(i) - 2.5) * 0.25, 0);
    note(t0, bar * 0.9, midi(ch[0] - 12), 0.16, 0, 2);
    note(t0 + 2.5 * beat, beat, midi(ch[0] - 12 + (b % 2 ? 7 : 12)), 0.1, 0, 2);
    // Arpeggio of eighth notes, varied by bar.
    for (int e = 0; e < 8; ++e) {
      if (hashNoise(b, e, 301) < 0.25) continue;
      const int idx = int((e * (b % 3 + 1) + b) % int(ch.size() - 1)) + 1;
      note(t0 + e * beat / 2, beat / 2, midi(ch[size_t(idx)] + 12), 0.07, std::sin(e * 0.9) * 0.5, 1);
    }
  }
  // Soft evening air: a little filtered noise.
  Biquad lpL = Biquad::make(900, 0.7, false), lpR = Biquad::make(900, 0.7, false);
  for (size_t i = 0; i < n; ++i) {
    l[i] += lpL.run(0.03f * (hashNoise(int(i), 0, 311) * 2 - 1));
    r[i] += lpR.run(0.03f * (hashNoise(int(i), 1, 311) * 2 - 1));
  }
  std::vector<float> st(n * 2);
  float peak = 1e-6f;
  for (size_t i = 0; i < n; ++i) peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
  for (size_t i = 0; i < n; ++i) {
    st[i * 2] = l[i] / peak * 0.8f;
    st[i * 2 + 1] = r[i] / peak * 0.8f;
  }
  return toPcm16(st);
}

Bytes monoWav(const std::vector<float>& s) { return encodeWav(toPcm16(s), 1); }

// Scales a one-shot so that its loudest sample reaches the given level (no clipping).
std::vector<float> normalized(std::vector<float> s, float level)
{
  float peak = 1e-6f;
  for (float x : s) peak = std::max(peak, std::fabs(x));
  for (float& x : s) x *= level / peak;
  return s;
}

} // namespace

void makeSounds()
{
  // Engine noise: outside (blade tones, prop wash, turbine whine), cockpit (muffled, fans),
  // cabin (the deep propeller drone through the walls).
  const Bytes outside = encodeWav(engineLoop({32, 34, 0.8, 1.0, 3000, 3150, 0.25, 9000}, 501), 2);
  const Bytes cockpit = encodeWav(engineLoop({32, 34, 1.2, 0.8, 900, 2450, 0.08, 2500}, 502), 2);
  const Bytes cabin = encodeWav(engineLoop({32, 34, 1.5, 0.6, 500, 2450, 0.04, 1200}, 503), 2);
  writeFile("sound\\ship.vfs", encodeVfs({{"gearup.wav", monoWav(normalized(gearSound(), 0.8f))},
                                          {"flapdown.wav", monoWav(normalized(flapSound(), 0.7f))},
                                          {"outside.wav", outside},
                                          {"cockpit.wav", cockpit},
                                          {"cabin.wav", cabin}}));

  const std::string pilot = "en-us+m1", tower = "en-us+m3", captain = "en+m2", first = "en-us+m4";
  writeFile("sound\\voice\\cap.vfs",
            encodeVfs({{"cap_07.wav", monoWav(voiceLine("Positive rate. Gear up.", captain, 150, 40, Style::Plain, 0.2f, 1))}}));
  writeFile("sound\\voice\\co.vfs",
            encodeVfs({{"co_07.wav", monoWav(voiceLine("Gear up. ... ... ... Landing lights, off.", first, 150, 55, Style::Plain,
                                                       3.4f, 2))}}));
  // The exchange with the tower (call sign Hotel X-ray seven two). Two of these names are
  // sixteen characters long, more than an archive entry holds, so this folder stays loose.
  const std::string ak = "sound\\voice\\ak72\\";
  writeFile(ak + "ak72_12_2ab.wav", monoWav(voiceLine("Hotel X-ray seven two, turn right heading three six zero, climb and maintain three thousand.", tower, 165, 35, Style::Radio, 0.3f, 3)));
  writeFile(ak + "ak72_13_1.wav", monoWav(voiceLine("Right heading three six zero, climb three thousand, Hotel X-ray seven two.", pilot, 160, 45, Style::Plain, 0.1f, 4)));
  writeFile(ak + "ak72_14_1tab.wav", monoWav(voiceLine("Ladies and gentlemen, we will soon be landing. Please make sure your seat belt is fastened. Thank you.", captain, 150, 40, Style::Cabin, 0.1f, 5)));
  writeFile(ak + "ak72_15_2tab.wav", monoWav(voiceLine("Hotel X-ray seven two, wind three four zero at eight, runway three six, cleared to land.", tower, 165, 35, Style::Radio, 0.2f, 6)));
  writeFile(ak + "ak72_16_1ab.wav", monoWav(voiceLine("Cleared to land, runway three six, Hotel X-ray seven two.", pilot, 160, 45, Style::Radio, 0.1f, 7)));
  writeFile(ak + "ak72_16_1.wav", monoWav(voiceLine("Cleared to land, runway three six, Hotel X-ray seven two.", pilot, 160, 45, Style::Plain, 0.1f, 7)));

  writeFile("sound\\bgm\\evening.wav", encodeWav(eveningMusic(), 2));
}

} // namespace content
