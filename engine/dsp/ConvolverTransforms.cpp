// The convolver's FFT entry points: the table-driven SSE transforms where tables exist, the
// twiddle recurrence for every other power-of-two size.
#include "engine/dsp/Convolver.h"

#include "engine/dsp/RecurrenceFft.h"
#include "engine/dsp/TableFft.h"

namespace dsp::Domain::OldConvolvers {
namespace {

bool validSize(int n)
{
    // The bit test rather than std::has_single_bit, which the baseline instruction set turns into
    // a library call for the population count.
    return n >= 1 && (n & (n - 1)) == 0;
}

} // namespace

void Convolver::complexTransform(float* data, int n, int direction)
{
    if (!validSize(n))
        return;
    direction = direction == 1 ? 1 : -1;
    if (!fft::tableComplexTransform(data, n, direction))
        fft::recurrenceComplexTransform(data, n, direction);
}

void Convolver::realTransform(float* data, int N, int direction)
{
    // N = 1 is its own transform; the layout needs N >= 2 for its Nyquist element.
    if (!validSize(N) || N < 2)
        return;
    direction = direction == 1 ? 1 : -1;
    if (!fft::tableRealTransform(data, N, direction))
        fft::recurrenceRealTransform(data, N, direction);
}

void Convolver::forwardTransform(float* data, int N)
{
    realTransform(data, N, 1);
}

void Convolver::inverseTransform(float* data, int N)
{
    realTransform(data, N, -1);
}

} // namespace dsp::Domain::OldConvolvers
