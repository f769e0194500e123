#pragma once

namespace dsp::fft {

// Which vector width the table-driven transforms may use: the widest the processor runs (eight
// lanes with AVX2 from complex n = 32 on, else four), or four lanes always. Both give the same
// bits.
enum class TableFftWidth { Widest, FourLanes };

// Table-driven SSE transforms with the same results (up to float rounding) and conventions as the
// recurrence transforms. Each returns false, leaving the data untouched, for a size it has no
// tables for (complex n outside 16 .. 16384, real N outside 32 .. 32768) or on a processor
// without SSE2; the caller then falls back to the recurrence.
bool tableComplexTransform(float* data, int n, int direction,
                           TableFftWidth width = TableFftWidth::Widest);
bool tableRealTransform(float* data, int N, int direction,
                        TableFftWidth width = TableFftWidth::Widest);

} // namespace dsp::fft
