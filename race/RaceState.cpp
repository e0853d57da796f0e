#include "race/RaceState.h"

#include <stdexcept>
#include <string>

namespace {

void checkPlayerNumber(int number)
{
    if (number < 1 || number > PlayerSlots)
        throw std::out_of_range("player number " + std::to_string(number) + " is not 1 to 10");
}

} // namespace

PlayerRecord& RaceState::player(int number)
{
    checkPlayerNumber(number);
    return players[static_cast<std::size_t>(number - 1)];
}

const PlayerRecord& RaceState::player(int number) const
{
    checkPlayerNumber(number);
    return players[static_cast<std::size_t>(number - 1)];
}
