#include "tribute/lotto_rules.hpp"

#include <array>
#include <limits>

#include "platform/halt.hpp"
#include "platform/val.hpp"

namespace runelot {

CodeCheck CheckCode(std::string_view code) {
    if (code.empty()) return CodeCheck::empty;
    if (code.size() < kCodeLength) return CodeCheck::too_short;
    if (code.size() > kCodeLength) return CodeCheck::too_long;
    if (!plat::val(code).ok) return CodeCheck::not_a_number;
    return CodeCheck::accepted;
}

int CountMatches(std::string_view player_code, std::string_view machine_code) {
    std::array<bool, kCodeLength> used{};
    int matches = 0;
    for (char digit : machine_code.substr(0, kCodeLength)) {
        if (digit < '0' || digit > '9') continue;
        for (size_t i = 0; i < kCodeLength && i < player_code.size(); ++i) {
            if (!used[i] && player_code[i] == digit) {
                used[i] = true;
                ++matches;
                break;
            }
        }
    }
    return matches;
}

int32_t FeeFor(int16_t level) { return int32_t{level} * 10; }

int64_t Jackpot(int16_t level) {
    int64_t jackpot = level == 12 ? 20 : (level % 2 != 0 ? 10 : 30);
    // Pascal's div truncates toward zero, as C++ division does.
    int tens = level / 2 + 2;
    for (int i = 0; i < tens && jackpot < kJackpotCap; ++i) jackpot *= 10;
    return jackpot < kJackpotCap ? jackpot : kJackpotCap;
}

int32_t PrizeFor(int16_t level, int matches) {
    if (matches <= 0) return 0;
    int64_t prize = Jackpot(level);
    for (int i = matches; i < static_cast<int>(kCodeLength); ++i) prize /= 10;
    return static_cast<int32_t>(prize);
}

int32_t GoldAfterPrize(int32_t gold, int32_t prize) {
    int64_t sum = int64_t{gold} + prize;
    if (sum > 0 && sum <= std::numeric_limits<int32_t>::max()) return static_cast<int32_t>(sum);
    return gold;
}

int32_t GoldAfterFee(int32_t gold, int32_t fee) {
    int64_t rest = int64_t{gold} - fee;
    if (rest > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (rest < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(rest);
}

int16_t ParseDay(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return 0;
    plat::ValResult day = plat::val(text.substr(first));
    // Beyond 32 bits it is still a number, just out of range.
    if (!day.ok) {
        std::string_view digits = text.substr(first);
        if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
        bool all_digits = !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
        plat::run_error(all_digits ? plat::rte::range_check : plat::rte::bad_numeric_format);
    }
    return DayInRange(day.value);
}

int16_t DayInRange(int32_t day) {
    if (day < std::numeric_limits<int16_t>::min() || day > std::numeric_limits<int16_t>::max())
        plat::run_error(plat::rte::range_check);
    return static_cast<int16_t>(day);
}

}  // namespace runelot
