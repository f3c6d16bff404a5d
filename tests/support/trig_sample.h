#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

// The arguments on which the tests check the battle's trigonometry
// (sim/maths.h) against MPFR, and which every build hashes the results of:
// the same sequence everywhere, from a generator of its own in integer
// arithmetic. First the published hardest-to-round arguments (worst cases for
// correct rounding found by V. Lefevre and J.-M. Muller: their exact results
// lie within 2^-100 or so of a rounding boundary), each with both signs; then
// arguments drawn as the battle makes them, and doubles of every magnitude.
namespace kelvarin::testing {

enum class TrigFunction { kSinCos, kAtn };

inline const std::vector<double>& HardestToRound(TrigFunction f) {
  static const std::vector<double> sinCos = {
      // sin
      0x1.005023d32fee5p+1,
      0x1.00874a5f9fc33p-13,
      0x1.0192deafac33fp+0,
      0x1.0102947e7003bp-3,
      0x1.039d88c480fccp-22,
      0x1.04394261cffa6p-1,
      0x1.043e268ba402ap+1,
      0x1.06800e629d672p-23,
      0x1.06800e629d673p-23,
      0x1.184a0aa58191dp-24,
      0x1.184a0aa581922p-24,
      0x1.30c7efbee12acp-24,
      0x1.45dd7c26e54bbp-24,
      0x1.58868e3115187p-24,
      0x1.695b9b149a438p-24,
      0x1.57006c1b011c8p+0,
      0x1.5c68997fe1bdap+0,
      0x1.6ebdedd37ba17p+1,
      0x1.2645db00c9b84p+1,
      0x1.3aff240e7a743p+1,
      0x1.6f623e27cdb79p-1,
      0x1.3721d2f8b5805p-1,
      0x1.07d5978b896fcp+0,
      0x1.1fa6b462b1c81p+1,
      // cos
      0x1.0009effd4bedap-12,
      0x1.00147eec5cfa5p+0,
      0x1.00786b0bf421p-2,
      0x1.0203b71ba100fp-1,
      0x1.03f81f636b80cp-24,
      0x1.0f876ccdf6cd6p-25,
      0x1.0f876ccdf6cddp-25,
      0x1.2c2fc595456a4p-25,
      0x1.465655f122ff9p-25,
      0x1.5e8add236a58dp-25,
      0x1.062a2f8ff7e5p+0,
      0x1.0bfbedfb16285p+0,
      0x1.0c86069092edcp+0,
      0x1.1c2d9650ac5f2p+0,
      0x1.3561f5bf797bcp+0,
      0x1.673b9fe297c3ep+0,
      0x1.6b87ec3ad8729p+0,
      0x1.6b8a6273d7c21p+0,
      0x1.065be6e6ee03cp-1,
      0x1.5b504e3a7cb6ap-1,
      0x1.679e49ab6dc28p-1,
      0x1.64af4ea49404p+0,
      0x1.30bed7646b2aep+0,
      0x1.41bf5603f5ddp+0,
  };
  static const std::vector<double> atn = {
      0x1.000321dec01a8p-10, 0x1.00046968c6c71p+11, 0x1.000adaedb43f3p+0,  0x1.00110cb9144eep+32,
      0x1.002aa39031ec4p-22, 0x1.00aa39615214fp-23, 0x1.02a3ad2ef6f3cp-24, 0x1.02a3ad2ef6f52p-23,
      0x1.02c0e7bad8ce8p+44, 0x1.01e031e16cc19p+43, 0x1.015010c5a285ap+42, 0x1.0221333a5e466p+43,
      0x1.0136abc19c1a3p+0,  0x1.0124f5587c85bp+0,  0x1.010190c7f7d6fp+0,  0x1.0061c6a5a887fp-1,
      0x1.00b7df69ad2c2p-1,  0x1.002657c1a3eap+1,   0x1.0108ad41a6937p+1,  0x1.00637c413beffp+22,
      0x1.0046774e5a34fp+20, 0x1.0230568b69725p+40, 0x1.0060c652c3d0cp+31, 0x1.02d1ac0b4acdap+0,
  };
  return f == TrigFunction::kSinCos ? sinCos : atn;
}

// splitmix64: the same numbers on every build.
class SplitMix {
 public:
  explicit SplitMix(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Bits() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15U);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9U;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBU;
    return z ^ (z >> 31);
  }
  int Between(int low, int high) {
    return low + static_cast<int>(Bits() % static_cast<std::uint64_t>(high - low + 1));
  }
  // A random mantissa times 2^e, e in [low, high], of random sign.
  double WithExponent(int low, int high) {
    const auto biased = static_cast<std::uint64_t>(Between(low, high) + 1023);
    return __builtin_bit_cast(double, (Bits() & 0x800FFFFFFFFFFFFFU) | (biased << 52));
  }

 private:
  std::uint64_t state_;
};

class TrigSample {
 public:
  TrigSample(TrigFunction f, std::uint64_t seed) : f_(f), random_(seed) {}

  // The next argument.
  double Next() {
    const std::vector<double>& hard = HardestToRound(f_);
    if (index_ < 2 * hard.size()) {
      const double x = hard[index_ / 2];
      return index_++ % 2 == 0 ? x : -x;
    }
    const std::uint64_t bucket = index_++ % 100;
    return f_ == TrigFunction::kSinCos ? SinCosArgument(bucket) : AtnArgument(bucket);
  }

 private:
  static constexpr double kTurn = 6.283185307179586;

  std::uint64_t Bits() { return random_.Bits(); }
  int Between(int low, int high) { return random_.Between(low, high); }
  double WithExponent(int low, int high) { return random_.WithExponent(low, high); }
  // Uniform in [a, b).
  double Uniform(double a, double b) {
    return a + static_cast<double>(Bits() >> 11) * 0x1p-53 * (b - a);
  }
  float UniformFloat(double a, double b) { return static_cast<float>(Uniform(a, b)); }
  // Any bit pattern but NaN's and the infinities'.
  double AnyFinite() {
    for (;;) {
      const double x = __builtin_bit_cast(double, Bits());
      if (x - x == 0) {
        return x;
      }
    }
  }
  double Special() {
    switch (Bits() % 8) {
      case 0:
        return 0.0;
      case 1:
        return -0.0;
      case 2:  // subnormal
        return __builtin_bit_cast(double, Bits() & 0x800FFFFFFFFFFFFFU);
      case 3:
        return WithExponent(-1022, -28);
      case 4:
        return WithExponent(-28, -20);
      default:
        return WithExponent(20, 1023);
    }
  }

  double SinCosArgument(std::uint64_t bucket) {
    if (bucket < 40) {  // headings, stored as floats, and a little beyond a turn
      return UniformFloat(-0.1, kTurn + 0.1);
    }
    if (bucket < 60) {  // the tail's corners: a heading plus or minus 2.5
      const double h = UniformFloat(0, kTurn);
      return (bucket % 2 == 0) ? h + 2.5 : h - 2.5;
    }
    if (bucket < 70) {  // shot angles: heading + bearing + spread, stored as floats
      return static_cast<float>(UniformFloat(0, kTurn) + UniformFloat(-1.5707964, 1.5707964) +
                                (Uniform(0, 1) - 0.5) * 0.1);
    }
    if (bucket < 85) {  // doubles of every magnitude up to 2^20
      return WithExponent(-27, 19);
    }
    if (bucket < 93) {  // next to multiples of pi/2, where the reduction cancels most
      const double k = Between(1, 667000);
      const double near = k * 1.5707963267948966;
      const auto bits =
          __builtin_bit_cast(std::uint64_t, near) + static_cast<std::uint64_t>(Between(-4, 4));
      return (Bits() % 2 == 0) ? __builtin_bit_cast(double, bits)
                               : -__builtin_bit_cast(double, bits);
    }
    if (bucket < 98) {
      return Special();
    }
    return AnyFinite();
  }

  double AtnArgument(std::uint64_t bucket) {
    if (bucket < 40) {  // bearings: DeltaX / DeltaY of float positions on the surface
      for (;;) {
        const auto dx =
            static_cast<float>(static_cast<double>(UniformFloat(0, 800)) - UniformFloat(0, 800));
        const auto dy =
            static_cast<float>(static_cast<double>(UniformFloat(0, 600)) - UniformFloat(0, 600));
        if (dy != 0) {
          return static_cast<double>(dx) / dy;
        }
      }
    }
    if (bucket < 60) {  // ratios of floats of every magnitude
      const auto a = static_cast<float>(WithExponent(-149, 127));
      const auto b = static_cast<float>(WithExponent(-149, 127));
      if (b != 0) {
        return static_cast<double>(a) / b;
      }
      return a;
    }
    if (bucket < 80) {
      return WithExponent(-30, 60);
    }
    if (bucket < 90) {
      return Uniform(-2, 2);
    }
    if (bucket < 98) {
      return Special();
    }
    return AnyFinite();
  }

  TrigFunction f_;
  SplitMix random_;
  std::size_t index_ = 0;
};

}  // namespace kelvarin::testing
