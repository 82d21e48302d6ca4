#pragma once
// The tagged value that travels between the BGL reader, the formatter and the evaluator.
// Readings from files are unsigned (Byte, Word, LongWord); the evaluator yields signed
// Integer, Int64, Real and DateTime values.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>

namespace qor {

enum class VarKind { Empty, Null, Byte, Word, LongWord, Integer, Int64, Real, DateTime, Text };

class Variant {
 public:
  Variant() = default;  // empty

  static Variant Null() { return Variant(NullTag{}); }
  static Variant Byte(std::uint8_t v) { return Variant(v); }
  static Variant Word(std::uint16_t v) { return Variant(v); }
  static Variant LongWord(std::uint32_t v) { return Variant(v); }
  static Variant Integer(std::int32_t v) { return Variant(v); }
  static Variant Int64(std::int64_t v) { return Variant(v); }
  static Variant Real(double v) { return Variant(v); }
  static Variant DateTime(double days) { return Variant(DateTimeTag{days}); }
  static Variant Text(std::string v) { return Variant(std::move(v)); }

  VarKind Kind() const { return static_cast<VarKind>(value_.index()); }
  bool IsEmpty() const { return Kind() == VarKind::Empty; }
  bool IsInteger() const;  // Byte, Word, LongWord, Integer or Int64
  bool IsReal() const { return Kind() == VarKind::Real || Kind() == VarKind::DateTime; }
  bool IsNumber() const { return IsInteger() || IsReal(); }

  // Integer kinds convert exactly; reals round half to even; text, empty and null give 0.
  std::int64_t AsInt64() const;
  double AsReal() const;
  // The text of a Text value; empty for every other kind.
  const std::string& AsText() const;

  bool operator==(const Variant&) const = default;

 private:
  struct NullTag {
    bool operator==(const NullTag&) const = default;
  };
  struct DateTimeTag {
    double days;
    bool operator==(const DateTimeTag&) const = default;
  };
  using Storage = std::variant<std::monostate, NullTag, std::uint8_t, std::uint16_t, std::uint32_t,
                               std::int32_t, std::int64_t, double, DateTimeTag, std::string>;
  template <typename T>
  explicit Variant(T v) : value_(std::move(v)) {}

  Storage value_;
};

// Header-only, so that the formatter, which the BGL library itself links, can take it too.

inline bool Variant::IsInteger() const {
  switch (Kind()) {
    case VarKind::Byte:
    case VarKind::Word:
    case VarKind::LongWord:
    case VarKind::Integer:
    case VarKind::Int64:
      return true;
    default:
      return false;
  }
}

inline std::int64_t Variant::AsInt64() const {
  switch (Kind()) {
    case VarKind::Byte:
      return std::get<std::uint8_t>(value_);
    case VarKind::Word:
      return std::get<std::uint16_t>(value_);
    case VarKind::LongWord:
      return std::get<std::uint32_t>(value_);
    case VarKind::Integer:
      return std::get<std::int32_t>(value_);
    case VarKind::Int64:
      return std::get<std::int64_t>(value_);
    case VarKind::Real:
    case VarKind::DateTime: {
      const double r = std::nearbyint(AsReal());  // the default mode rounds half to even
      if (!(r > -9.2233720368547758e18 && r < 9.2233720368547758e18)) return 0;
      return static_cast<std::int64_t>(r);
    }
    default:
      return 0;
  }
}

inline double Variant::AsReal() const {
  switch (Kind()) {
    case VarKind::Real:
      return std::get<double>(value_);
    case VarKind::DateTime:
      return std::get<DateTimeTag>(value_).days;
    default:
      return static_cast<double>(AsInt64());
  }
}

inline const std::string& Variant::AsText() const {
  static const std::string kNone;
  if (Kind() == VarKind::Text) return std::get<std::string>(value_);
  return kNone;
}

namespace variant_detail {

enum class Op { Add, Sub, Mul };

inline int IntegerRank(VarKind k) {
  switch (k) {
    case VarKind::Byte:
      return 0;
    case VarKind::Word:
      return 1;
    case VarKind::Integer:
      return 2;
    case VarKind::LongWord:
      return 3;
    default:
      return 4;  // Int64, and the non-numbers that count as 0
  }
}

// The narrowest kind of at least the given rank that holds v.
inline Variant OfRank(int rank, std::int64_t v) {
  if (rank <= 0 && v >= 0 && v <= 0xFF) return Variant::Byte(static_cast<std::uint8_t>(v));
  if (rank <= 1 && v >= 0 && v <= 0xFFFF) return Variant::Word(static_cast<std::uint16_t>(v));
  if (rank <= 2 && v >= std::numeric_limits<std::int32_t>::min() &&
      v <= std::numeric_limits<std::int32_t>::max())
    return Variant::Integer(static_cast<std::int32_t>(v));
  if (rank <= 3 && v >= 0 && v <= 0xFFFFFFFFLL)
    return Variant::LongWord(static_cast<std::uint32_t>(v));
  return Variant::Int64(v);
}

inline Variant Combine(const Variant& a, const Variant& b, Op op) {
  if (a.IsReal() || b.IsReal()) {
    const double x = a.AsReal(), y = b.AsReal();
    const double r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
    const bool date =
        op != Op::Mul && (a.Kind() == VarKind::DateTime) != (b.Kind() == VarKind::DateTime);
    return date ? Variant::DateTime(r) : Variant::Real(r);
  }
  const std::int64_t x = a.AsInt64(), y = b.AsInt64();
  std::int64_t r = 0;
  const bool overflow = op == Op::Add   ? __builtin_add_overflow(x, y, &r)
                        : op == Op::Sub ? __builtin_sub_overflow(x, y, &r)
                                        : __builtin_mul_overflow(x, y, &r);
  if (overflow) {
    const double dx = static_cast<double>(x), dy = static_cast<double>(y);
    return Variant::Real(op == Op::Add ? dx + dy : op == Op::Sub ? dx - dy : dx * dy);
  }
  return OfRank(std::max(IntegerRank(a.Kind()), IntegerRank(b.Kind())), r);
}

}  // namespace variant_detail

// Arithmetic yields the wider kind: any real makes a real (a date-time plus or minus a number
// stays a date-time); integers take the wider of the two kinds, or the next kind that holds
// the result when it does not fit. Division always gives a real.
inline Variant operator+(const Variant& a, const Variant& b) {
  return variant_detail::Combine(a, b, variant_detail::Op::Add);
}
inline Variant operator-(const Variant& a, const Variant& b) {
  return variant_detail::Combine(a, b, variant_detail::Op::Sub);
}
inline Variant operator*(const Variant& a, const Variant& b) {
  return variant_detail::Combine(a, b, variant_detail::Op::Mul);
}
inline Variant operator/(const Variant& a, const Variant& b) {
  return Variant::Real(a.AsReal() / b.AsReal());
}

}  // namespace qor
