#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

namespace AudioEngine::AudioMath {

// A fixed-size R x C matrix stored row-major, a plain value that lives on the
// stack. Small state-space models (a supply circuit of two to four nodes) are
// written with it: products sum each element in double and store it in T, so
// that a long chain of per-sample products keeps T's rounding at one step per
// element.
template <class T, std::size_t R, std::size_t C> struct Matrix {
    static constexpr std::size_t rows = R;
    static constexpr std::size_t columns = C;

    std::array<T, R * C> data{};

    constexpr T& operator()(std::size_t r, std::size_t c) noexcept { return data[r * C + c]; }
    constexpr const T& operator()(std::size_t r, std::size_t c) const noexcept
    {
        return data[r * C + c];
    }
    // Element k of a vector (a one-column or one-row matrix).
    constexpr T& operator[](std::size_t k) noexcept { return data[k]; }
    constexpr const T& operator[](std::size_t k) const noexcept { return data[k]; }

    static constexpr Matrix identity() noexcept requires(R == C)
    {
        Matrix m;
        for (std::size_t k = 0; k < R; ++k)
            m(k, k) = T(1);
        return m;
    }

    // Every element equal to value.
    static constexpr Matrix filled(T value) noexcept
    {
        Matrix m;
        m.data.fill(value);
        return m;
    }

    friend constexpr bool operator==(const Matrix&, const Matrix&) = default;
};

template <class T, std::size_t N> using Vector = Matrix<T, N, 1>;

// a b, each element a sum of products in double stored as T.
template <class T, std::size_t R, std::size_t K, std::size_t C>
constexpr Matrix<T, R, C> operator*(const Matrix<T, R, K>& a, const Matrix<T, K, C>& b) noexcept
{
    Matrix<T, R, C> p;
    for (std::size_t r = 0; r < R; ++r)
        for (std::size_t c = 0; c < C; ++c) {
            double sum = 0.0;
            for (std::size_t k = 0; k < K; ++k)
                sum += static_cast<double>(a(r, k)) * static_cast<double>(b(k, c));
            p(r, c) = static_cast<T>(sum);
        }
    return p;
}

// Element by element in T.
template <class T, std::size_t R, std::size_t C>
constexpr Matrix<T, R, C> operator+(const Matrix<T, R, C>& a, const Matrix<T, R, C>& b) noexcept
{
    Matrix<T, R, C> s;
    for (std::size_t k = 0; k < R * C; ++k)
        s.data[k] = a.data[k] + b.data[k];
    return s;
}

template <class T, std::size_t R, std::size_t C>
constexpr Matrix<T, R, C> operator-(const Matrix<T, R, C>& a, const Matrix<T, R, C>& b) noexcept
{
    Matrix<T, R, C> s;
    for (std::size_t k = 0; k < R * C; ++k)
        s.data[k] = a.data[k] - b.data[k];
    return s;
}

template <class T, std::size_t R, std::size_t C>
constexpr Matrix<T, R, C> operator*(T scale, const Matrix<T, R, C>& a) noexcept
{
    Matrix<T, R, C> s;
    for (std::size_t k = 0; k < R * C; ++k)
        s.data[k] = scale * a.data[k];
    return s;
}

// The inverse of a by Gauss-Jordan elimination with full pivoting: at each step
// the largest remaining element in magnitude becomes the pivot, whatever its
// row and column, which keeps the elimination stable without any scaling of
// the rows. The work is done in double and the result stored as T.
// Returns 0, or -1 when a is singular (a zero pivot; inverse is then left as
// it was).
template <class T, std::size_t N>
int invertGaussJordan(const Matrix<T, N, N>& a, Matrix<T, N, N>& inverse) noexcept
{
    std::array<std::array<double, N>, N> m{};
    for (std::size_t r = 0; r < N; ++r)
        for (std::size_t c = 0; c < N; ++c)
            m[r][c] = static_cast<double>(a(r, c));
    std::array<std::size_t, N> pivotRow{}, pivotColumn{};
    std::array<bool, N> used{};

    for (std::size_t step = 0; step < N; ++step) {
        double largest = 0.0;
        std::size_t row = 0, column = 0;
        for (std::size_t r = 0; r < N; ++r) {
            if (used[r])
                continue;
            for (std::size_t c = 0; c < N; ++c)
                if (!used[c] && std::fabs(m[r][c]) > largest) {
                    largest = std::fabs(m[r][c]);
                    row = r;
                    column = c;
                }
        }
        if (!(largest > 0.0))
            return -1; // also a NaN element
        used[column] = true;
        // The pivot moves onto the diagonal; its column is undone at the end.
        if (row != column)
            std::swap(m[row], m[column]);
        pivotRow[step] = row;
        pivotColumn[step] = column;
        // In place: the pivot's slot takes the inverse's column as it forms.
        const double invPivot = 1.0 / m[column][column];
        m[column][column] = 1.0;
        for (double& v : m[column])
            v *= invPivot;
        for (std::size_t r = 0; r < N; ++r) {
            if (r == column)
                continue;
            const double factor = m[r][column];
            m[r][column] = 0.0;
            for (std::size_t c = 0; c < N; ++c)
                m[r][c] -= m[column][c] * factor;
        }
    }
    // The row swaps of the pivots become column swaps of the inverse, in reverse.
    for (std::size_t step = N; step-- > 0;)
        if (pivotRow[step] != pivotColumn[step])
            for (std::size_t r = 0; r < N; ++r)
                std::swap(m[r][pivotRow[step]], m[r][pivotColumn[step]]);
    for (std::size_t r = 0; r < N; ++r)
        for (std::size_t c = 0; c < N; ++c)
            inverse(r, c) = static_cast<T>(m[r][c]);
    return 0;
}

} // namespace AudioEngine::AudioMath
