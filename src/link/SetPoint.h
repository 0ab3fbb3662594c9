#pragma once
// Set-point writes: the number the operator types, its wire encoding, and the pending write
// that the polling cycle's value request carries until the controller acknowledges it.
#include "link/LinkStation.h"
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>

namespace setpoint {

// Block types whose set-point the operator may change: S_P, PID, COD, CMP, TIM, OSC, ALG, UNI.
bool typeAccepts(int blockType);

// Thousandths of the value, rounded to the nearest integer (halves away from zero), as
// sign-and-magnitude: magnitude least significant byte first, the sign in the top bit of
// byte 3. The thousandfold is taken in double precision from the float32 value, so 0.0005
// (stored as slightly more) gives 1. Nothing when the magnitude exceeds 2^31 - 1.
std::optional<std::array<std::uint8_t, 4>> encode(float value);

// The value as the operator types it: blanks around it, an optional sign, digits with at most
// one decimal separator, a point or a comma ("1,4" and "1.4" are both 1.4), and nothing else.
// Nothing for an empty box, for any other text ("1,4,5", "1.4abc", " 12 ,5") and for a value
// beyond the float range.
std::optional<float> parseValue(QStringView text);

// The operator's OK: makes (block, pin, value typed in `text`) the pending write, replacing any
// earlier one. When the text is not a number (parseValue) or the number cannot be encoded
// nothing changes and false is returned: an earlier pending write stays exactly as it was and
// nothing new goes to the controller.
bool accept(PendingWrite &write, std::uint8_t block, std::uint8_t pin, QStringView text);

}   // namespace setpoint
