#include "spectrum/WindowFunction.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Coefficients a0 .. a3 of a0 - a1 cos(x) + a2 cos(2x) - a3 cos(3x).
struct CosineTerms {
    double a0, a1, a2, a3;
};

constexpr CosineTerms kHanning{0.5, 0.5, 0.0, 0.0};
constexpr CosineTerms kHamming{0.54, 0.46, 0.0, 0.0};
// Blackman's exact form, 7938/18608, 9240/18608 and 1430/18608: it puts zeros
// on the third and fourth side lobes, so the highest one lies near -68 dB
// against the -58 dB of the rounded 0.42, 0.5, 0.08.
constexpr CosineTerms kBlackman{0.4265907136715391, 0.4965606190885641, 0.07684866723989682, 0.0};
constexpr CosineTerms kBlackmanHarris{0.35875, 0.48829, 0.14128, 0.01168};

// Divided by the window length, not one less: one whole period of the cosines,
// the form that matches the transform's bins. A sine on a whole bin then
// spreads over exactly three bins under Hanning and Hamming; the first value
// is the minimum and the peak lies at N/2.
void FillCosineWindow(float* window, int n, const CosineTerms& terms) {
    const double step = 2.0 * kPi / n;
    for (int k = 0; k < n; ++k) {
        const double x = step * k;
        window[k] = static_cast<float>(terms.a0 - terms.a1 * std::cos(x) +
                                       terms.a2 * std::cos(2.0 * x) - terms.a3 * std::cos(3.0 * x));
    }
}

// Rises from 0 by 2/N a point and is written from both ends towards the
// middle, so an even window ends with two middle values of 1.0 and an odd one
// with its single middle value just below. The right end is counted from the
// end of the whole array, so when length - N is odd the triangle spans N + 1
// points.
void FillTriangle(float* window, int length, int n, int offset) {
    for (int m = 0; m <= n / 2; ++m) {
        const float v = static_cast<float>(2.0 * m / n);
        window[length - offset - 1 - m] = v;
        window[offset + m] = v;
    }
}

} // namespace

void MakeWindow(float* window, int length, int windowLength, int type) {
    if (length <= 0) {
        return;
    }
    const int n = (windowLength > length || windowLength <= 0) ? length : windowLength;
    const int offset = (length - n) / 2;
    if (type < kWindowTriangle || type > kWindowBlackmanHarris) {
        std::fill(window, window + length, 1.0f);
        return;
    }
    if (n != length) {
        std::fill(window, window + length, 0.0f);
    }
    switch (type) {
    case kWindowTriangle:
        FillTriangle(window, length, n, offset);
        break;
    case kWindowHanning:
        FillCosineWindow(window + offset, n, kHanning);
        break;
    case kWindowHamming:
        FillCosineWindow(window + offset, n, kHamming);
        break;
    case kWindowBlackman:
        FillCosineWindow(window + offset, n, kBlackman);
        break;
    default:
        FillCosineWindow(window + offset, n, kBlackmanHarris);
        break;
    }
}
