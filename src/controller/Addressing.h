#pragma once

#include <array>
#include <string_view>

// The address selector: which projector on a shared line the next frames are for.
struct AddressOption {
  std::string_view control;
  std::string_view caption;
  std::string_view prefix;  // "" addresses the single projector on the line
};

inline constexpr std::array<AddressOption, 6> kAddressOptions{{
    {"Option3", "SINGLE", ""},
    {"Option4", "ALL", "AFFF"},
    {"Option5", "001", "A001"},
    {"Option6", "002", "A002"},
    {"Option7", "003", "A003"},
    {"Option8", "004", "A004"},
}};
