#pragma once

#include <boost/signals2/connection.hpp>

namespace Zq::BorvanRAZ::Document {

class AmpModule;
class CabModule;

// Ties the cabinet to the amplifier head: while "CabinetMatch" is on, every
// change of head (and switching the match on) sets the head's own cabinet.
class CabinetMatcher {
public:
    // The cabinet each head was voiced with, by "AmpModel" value.
    static constexpr int kCabinetForAmp[] = {0 /* GN-500 */, 1 /* Q-9R */, 5 /* RKM-810E */,
                                             4 /* RKM-410H */};

    // Both units must outlive the matcher.
    CabinetMatcher(AmpModule& amp, CabModule& cab);
    CabinetMatcher(const CabinetMatcher&) = delete;
    CabinetMatcher& operator=(const CabinetMatcher&) = delete;

    void match();

private:
    AmpModule& amp_;
    CabModule& cab_;
    boost::signals2::scoped_connection ampChanged_;
    boost::signals2::scoped_connection matchChanged_;
};

} // namespace Zq::BorvanRAZ::Document
