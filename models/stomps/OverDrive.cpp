#include "models/stomps/OverDrive.h"

#include <cmath>

namespace AudioEngine::BorvanQom::OverDriveTraitsDetails {
namespace {

const float kPi = std::acos(-1.0f);

} // namespace

void PreFilterType::design()
{
    // H(s) = (A + B) s / (s^2 + (A + B) s + A B), poles at A = 2 pi 100 Hz and
    // B = 2 pi 11 kHz: at s = j sqrt(A B) the real parts cancel and |H| = 1.
    const float a = 200.0f * kPi;
    const float b = 22000.0f * kPi;
    installDesign(CoefficientsS(0.0f, a + b, 0.0f, a * b, a + b, 1.0f));
}

void ClipperType::createParameters()
{
    parameters_.addParameter(Parameter("Texture", "", 0.0f, 1.0f, 0.5f, 0), "Texture");
}

void ClipperType::setParameter(std::string_view name, float value)
{
    Function::setParameter(name, value);
    // Function holds its function object read-only; the texture is this
    // stage's one setting, so it is written in place. A NaN or an infinity
    // would turn every negative sample into a non-number: they are ignored, as
    // the parameter ignores a NaN.
    if (name == "Texture" && std::isfinite(value))
        const_cast<ClipperDetails::Clipper&>(getFunction()).setTexture(value);
}

void HPFType::prepare()
{
    FilterVariable::prepare();
    reset();
}

void HPFType::design()
{
    // s / (s + 7 pi): the corner at 3.5 Hz, far below the bass's lowest string,
    // takes off the rectifier's DC.
    installDesign(CoefficientsS(0.0f, 1.0f, 7.0f * kPi, 1.0f));
}

void MixerType::createParameters()
{
    LinearComb2::createParameters();
    parameters_.addParameter(Parameter("Blend", "", 0.0f, 1.0f, 0.5f, 0), "Blend");
}

void MixerType::setParameter(std::string_view name, float value)
{
    LinearComb2::setParameter(name, value);
    if (name == "Blend") {
        LinearComb2::setParameter("A1", 1.0f - value);
        LinearComb2::setParameter("A2", value);
    }
}

} // namespace AudioEngine::BorvanQom::OverDriveTraitsDetails
