#pragma once

// The quotient rounded down (towards minus infinity), where C++'s own division rounds towards zero:
// floorDivide(-7, 2) is -4. For every signed integer type, the 128-bit one included; the
// denominator must not be 0.
template <typename Integer>
constexpr Integer floorDivide(Integer numerator, Integer denominator)
{
    Integer quotient = numerator / denominator;
    if (numerator % denominator != 0 && ((numerator < 0) != (denominator < 0)))
        --quotient;
    return quotient;
}

static_assert(floorDivide(-7, 2) == -4 && floorDivide(7, 2) == 3 && floorDivide(7, -2) == -4 && floorDivide(-8, 2) == -4);
