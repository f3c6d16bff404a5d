#include "runner/float_writer.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kelvarin {
namespace {

// A positive number written out exactly in decimal: d.ddd × 10^exponent, with
// no leading or trailing zero digit. A float, or a point halfway between two
// floats, has at most 113 significant digits.
struct Decimal {
  char digits[120];
  int count = 0;
  int exponent = 0;

  std::string_view Digits() const { return {digits, static_cast<std::size_t>(count)}; }
};

// m × 2^e2 (m > 0, m < 2^32, -152 <= e2 <= 104) in decimal, through a number
// in base 10^9: m × 2^e2 itself when e2 >= 0, else m × 5^-e2, which is the
// number times 10^-e2.
Decimal ExactDecimal(std::uint64_t m, int e2) {
  constexpr std::uint32_t kBase = 1000000000;
  std::uint32_t limbs[16];  // least significant first; 13 are ever used
  int size = 0;
  for (; m != 0; m /= kBase) {
    limbs[size++] = static_cast<std::uint32_t>(m % kBase);
  }
  const auto multiply = [&](std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (int i = 0; i < size; ++i) {
      const std::uint64_t x = std::uint64_t{limbs[i]} * factor + carry;
      limbs[i] = static_cast<std::uint32_t>(x % kBase);
      carry = x / kBase;
    }
    for (; carry != 0; carry /= kBase) {
      limbs[size++] = static_cast<std::uint32_t>(carry % kBase);
    }
  };
  if (e2 >= 0) {
    for (int left = e2; left > 0; left -= 31) {
      multiply(std::uint32_t{1} << (left < 31 ? left : 31));
    }
  } else {
    constexpr std::uint32_t kPowersOf5[14] = {1,       5,        25,        125,       625,
                                              3125,    15625,    78125,     390625,    1953125,
                                              9765625, 48828125, 244140625, 1220703125};
    for (int left = -e2; left > 0; left -= 13) {
      multiply(kPowersOf5[left < 13 ? left : 13]);
    }
  }

  Decimal d;
  char* out = d.digits;
  std::uint32_t top = limbs[size - 1];
  char topDigits[9];
  int topCount = 0;
  for (; top != 0; top /= 10) {
    topDigits[topCount++] = static_cast<char>('0' + top % 10);
  }
  while (topCount > 0) {
    *out++ = topDigits[--topCount];
  }
  for (int i = size - 2; i >= 0; --i) {
    std::uint32_t limb = limbs[i];
    for (int k = 8; k >= 0; --k) {
      out[k] = static_cast<char>('0' + limb % 10);
      limb /= 10;
    }
    out += 9;
  }
  const int written = static_cast<int>(out - d.digits);
  d.exponent = written - 1 + (e2 < 0 ? e2 : 0);
  d.count = written;
  while (d.digits[d.count - 1] == '0') {
    --d.count;
  }
  return d;
}

// <0, 0 or >0 as a is below, equal to or above b.
int Compare(const Decimal& a, const Decimal& b) {
  if (a.exponent != b.exponent) {
    return a.exponent < b.exponent ? -1 : 1;
  }
  const int c = a.Digits().compare(b.Digits());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void AppendExponent(std::string& out, int exponent) {
  out += 'e';
  out += exponent < 0 ? '-' : '+';
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude >= 100) {
    out += static_cast<char>('0' + magnitude / 100);
  }
  out += static_cast<char>('0' + magnitude / 10 % 10);
  out += static_cast<char>('0' + magnitude % 10);
}

}  // namespace

void AppendShortestPortable(std::string& out, float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 31) != 0;
  const std::uint32_t magnitude = bits & 0x7fffffffu;
  if (magnitude >= 0x7f800000u) {
    out += negative ? "-" : "";
    out += magnitude == 0x7f800000u ? "inf" : "nan";
    return;
  }
  if (negative) {
    out += '-';
  }
  if (magnitude == 0) {
    out += '0';
    return;
  }

  // value = m × 2^e2.
  const std::uint32_t fraction = magnitude & 0x7fffffu;
  const int biased = static_cast<int>(magnitude >> 23);
  const std::uint64_t m = biased == 0 ? fraction : (fraction | 0x800000u);
  const int e2 = biased == 0 ? -149 : biased - 150;

  // The decimals that read back as `value` are those between the points
  // halfway to its neighbours; a point itself reads as the float with an even
  // mantissa. Below a power of two the neighbour is twice as close.
  const Decimal exact = ExactDecimal(m, e2);
  const Decimal upper = ExactDecimal(2 * m + 1, e2 - 1);
  const Decimal lower = (fraction == 0 && biased > 1) ? ExactDecimal(4 * m - 1, e2 - 2)
                                                      : ExactDecimal(2 * m - 1, e2 - 1);
  const bool boundsRead = m % 2 == 0;

  // The fewest significant digits, counted from the value's first one, that
  // give a decimal in that range: only the value truncated there (`down`) or
  // one unit more (`up`) can be the one, the nearer when both are.
  Decimal best = exact;
  for (int p = 1; p < exact.count; ++p) {
    Decimal down;
    std::memcpy(down.digits, exact.digits, static_cast<std::size_t>(p));
    down.count = p;
    down.exponent = exact.exponent;
    Decimal up = down;
    while (down.digits[down.count - 1] == '0') {
      --down.count;
    }
    int k = p - 1;
    while (k >= 0 && up.digits[k] == '9') {
      --k;
    }
    if (k < 0) {
      up.digits[0] = '1';
      up.count = 1;
      ++up.exponent;
    } else {
      ++up.digits[k];
      up.count = k + 1;
    }

    const int belowDown = Compare(lower, down);
    const int aboveUp = Compare(up, upper);
    const bool downReads = belowDown < 0 || (belowDown == 0 && boundsRead);
    const bool upReads = aboveUp < 0 || (aboveUp == 0 && boundsRead);
    if (!downReads && !upReads) {
      continue;
    }
    bool takeUp = !downReads;
    if (downReads && upReads) {
      // What was cut off, against half a unit: more goes up, exactly half goes
      // to the even digit.
      const std::string_view rest = exact.Digits().substr(static_cast<std::size_t>(p));
      if (rest == "5") {
        takeUp = (exact.digits[p - 1] - '0') % 2 != 0;
      } else {
        takeUp = rest.compare("5") > 0;
      }
    }
    best = takeUp ? up : down;
    break;
  }

  // Fixed notation when it is no longer than scientific notation.
  const int length = best.count;
  const int lastExponent = best.exponent - (length - 1);  // best = digits × 10^lastExponent
  const bool fixed = length == 1 ? (lastExponent >= -3 && lastExponent <= 4)
                                 : (lastExponent >= -(length + 3) && lastExponent <= 5);
  const std::string_view digits = best.Digits();
  if (!fixed) {
    out += digits[0];
    if (length > 1) {
      out += '.';
      out += digits.substr(1);
    }
    AppendExponent(out, best.exponent);
  } else if (lastExponent >= 0) {
    // A whole number: written out in full, every digit exact.
    out += exact.Digits();
    out.append(static_cast<std::size_t>(exact.exponent + 1 - exact.count), '0');
  } else if (best.exponent >= 0) {
    const auto whole = static_cast<std::size_t>(best.exponent + 1);
    out += digits.substr(0, whole);
    out += '.';
    out += digits.substr(whole);
  } else {
    out += "0.";
    out.append(static_cast<std::size_t>(-best.exponent - 1), '0');
    out += digits;
  }
}

void AppendShortest(std::string& out, float value) {
#if defined(__cpp_lib_to_chars)
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
#else
  AppendShortestPortable(out, value);
#endif
}

}  // namespace kelvarin
