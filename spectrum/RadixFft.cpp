#include "spectrum/RadixFft.h"

#include <cmath>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The twiddles of all butterfly stages, stage after stage: the stage that
// joins blocks of half length h uses e^(-2 pi i j / 2h), j = 0 .. h - 1, from
// index h - 1 on. Laid out so, each stage reads its twiddles contiguously
// alongside the data, and the inner loop vectorises.
struct Twiddles {
    std::vector<float> re;
    std::vector<float> im;
};

// Each stage advances its twiddle by repeated multiplication with its step,
// carried in double so that the error after half a million steps stays far
// below float resolution.
std::unique_ptr<const Twiddles> MakeTwiddles(int n) {
    auto twiddles = std::make_unique<Twiddles>();
    twiddles->re.resize(static_cast<std::size_t>(n) - 1);
    twiddles->im.resize(static_cast<std::size_t>(n) - 1);
    for (int half = 1; half < n; half *= 2) {
        const double angle = -kPi / half;
        const double stepRe = std::cos(angle);
        const double stepIm = std::sin(angle);
        float* stageRe = twiddles->re.data() + half - 1;
        float* stageIm = twiddles->im.data() + half - 1;
        double re = 1.0;
        double im = 0.0;
        for (int j = 0; j < half; ++j) {
            stageRe[j] = static_cast<float>(re);
            stageIm[j] = static_cast<float>(im);
            const double nextRe = re * stepRe - im * stepIm;
            im = re * stepIm + im * stepRe;
            re = nextRe;
        }
    }
    return twiddles;
}

// Computed once per length and kept, as the long frames that come here are
// transformed once per sonagram column. Null if the table cannot be allocated.
const Twiddles* TwiddlesFor(int n) {
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<const Twiddles>> cache;
    std::lock_guard<std::mutex> lock(mutex);
    auto found = cache.find(n);
    if (found == cache.end()) {
        try {
            found = cache.emplace(n, MakeTwiddles(n)).first;
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    return found->second.get();
}

void BitReverse(float* re, float* im, int n) {
    int j = 0;
    for (int i = 0; i < n; ++i) {
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        // j steps to the bit reverse of i + 1: add one at the top, carry down.
        int bit = n >> 1;
        while (j & bit) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
}

// Joins two blocks of half points: p + u q into p, p - u q into q. The four
// blocks and the twiddles never overlap, and saying so lets the compiler
// vectorise the loop without run-time overlap checks, of which six arrays
// would need more than it will emit.
void JoinBlocks(float* __restrict pr, float* __restrict pi, float* __restrict qr,
                float* __restrict qi, const float* __restrict wr, const float* __restrict wi,
                int half, float sign) {
    for (int j = 0; j < half; ++j) {
        const float ur = wr[j];
        const float ui = sign * wi[j];
        const float tr = ur * qr[j] - ui * qi[j];
        const float ti = ur * qi[j] + ui * qr[j];
        qr[j] = pr[j] - tr;
        qi[j] = pi[j] - ti;
        pr[j] += tr;
        pi[j] += ti;
    }
}

// sign -1 turns every twiddle into its conjugate for the inverse direction.
void Butterflies(float* re, float* im, int n, const Twiddles& twiddles, float sign) {
    for (int half = 1; half < n; half *= 2) {
        const float* wr = twiddles.re.data() + half - 1;
        const float* wi = twiddles.im.data() + half - 1;
        for (int group = 0; group < n; group += 2 * half) {
            JoinBlocks(re + group, im + group, re + group + half, im + group + half, wr, wi, half,
                       sign);
        }
    }
}

} // namespace

void ForwardFft(float* re, float* im, int n) {
    if (!IsFftLength(n)) {
        return;
    }
    const Twiddles* twiddles = TwiddlesFor(n);
    if (!twiddles) {
        return;
    }
    BitReverse(re, im, n);
    Butterflies(re, im, n, *twiddles, 1.0f);
}

void InverseFft(float* re, float* im, int n) {
    if (!IsFftLength(n)) {
        return;
    }
    const Twiddles* twiddles = TwiddlesFor(n);
    if (!twiddles) {
        return;
    }
    BitReverse(re, im, n);
    Butterflies(re, im, n, *twiddles, -1.0f);
    const float scale = 1.0f / static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
        re[i] *= scale;
        im[i] *= scale;
    }
}
