#include "engine/math/Matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace AudioEngine::AudioMath;

TEST(Matrix, ProductsSumEachElementInDouble)
{
    // 1e8 + 1 - 1e8 is 0 when summed in float, 1 in double.
    Matrix<float, 1, 3> a;
    a.data = {1e8f, 1.0f, -1e8f};
    const auto ones = Matrix<float, 3, 1>::filled(1.0f);
    EXPECT_EQ((a * ones)[0], 1.0f);

    Matrix<float, 2, 3> m;
    m.data = {1, 2, 3, 4, 5, 6};
    Matrix<float, 3, 2> n;
    n.data = {7, 8, 9, 10, 11, 12};
    const Matrix<float, 2, 2> p = m * n;
    EXPECT_EQ(p.data, (std::array<float, 4>{58, 64, 139, 154}));
    EXPECT_EQ((m + m).data[5], 12.0f);
    EXPECT_EQ((m - m), (Matrix<float, 2, 3>{}));
    EXPECT_EQ((2.0f * m)(1, 0), 8.0f);
}

TEST(Matrix, GaussJordanInvertsWithFullPivoting)
{
    struct Case {
        const char* name;
        Matrix<float, 4, 4> a;
    } cases[] = {
        {"diagonally dominant", {{4, 1, 0, 0, 1, 5, 1, 0, 0, 1, 6, 1, 0, 0, 1, 7}}},
        // Zeros on the diagonal: plain elimination without pivoting divides by 0.
        {"zero diagonal", {{0, 2, 0, 1, 3, 0, 1, 0, 0, 1, 0, 4, 1, 0, 5, 0}}},
        {"tiny leading pivot", {{1e-7f, 1, 2, 3, 1, 1, 0, 1, 2, 0, 3, 1, 0, 4, 1, 1}}},
        {"supply-like",
         {{88202.0f, -1.33f, 0, 0, -1.33f, 88203.0f, -0.42f, -0.42f, 0, -0.45f, 88200.5f, 0, 0,
           -0.21f, 0, 88200.2f}}},
    };
    for (const Case& c : cases) {
        Matrix<float, 4, 4> inverse;
        ASSERT_EQ(invertGaussJordan(c.a, inverse), 0) << c.name;
        const Matrix<float, 4, 4> product = c.a * inverse;
        for (std::size_t r = 0; r < 4; ++r)
            for (std::size_t k = 0; k < 4; ++k)
                EXPECT_NEAR(product(r, k), r == k ? 1.0f : 0.0f, 1e-5f)
                    << c.name << " (" << r << ", " << k << ")";
    }
}

TEST(Matrix, ASingularMatrixReportsMinusOneAndLeavesTheResult)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Matrix<float, 3, 3> singular[] = {
        {{1, 2, 3, 2, 4, 6, 0, 1, 1}},
        {},
        {{1, 0, 0, 0, nan, 0, 0, 0, 1}},
    };
    for (const auto& a : singular) {
        using M3 = Matrix<float, 3, 3>;
        auto inverse = M3::filled(7.0f);
        EXPECT_EQ(invertGaussJordan(a, inverse), -1);
        EXPECT_EQ(inverse, M3::filled(7.0f));
    }
    Matrix<float, 1, 1> one;
    one[0] = 4.0f;
    Matrix<float, 1, 1> inverse;
    EXPECT_EQ(invertGaussJordan(one, inverse), 0);
    EXPECT_EQ(inverse[0], 0.25f);
}
