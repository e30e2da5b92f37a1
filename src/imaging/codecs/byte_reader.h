// A bounded cursor over a file's bytes. Every read past the end fails the reader for good and
// yields zeros, so a parser checks ok() once after a group of reads instead of after each one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace imaging {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  std::size_t position() const { return position_; }
  std::size_t size() const { return bytes_.size(); }
  std::size_t remaining() const { return bytes_.size() - position_; }

  uint8_t u8() { return Has(1) ? bytes_[position_++] : 0; }
  uint16_t u16le() {
    if (!Has(2)) return 0;
    const uint16_t v = uint16_t(bytes_[position_] | bytes_[position_ + 1] << 8);
    position_ += 2;
    return v;
  }
  uint32_t u32le() {
    if (!Has(4)) return 0;
    const auto* p = bytes_.data() + position_;
    position_ += 4;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  }
  uint16_t u16be() {
    if (!Has(2)) return 0;
    const uint16_t v = uint16_t(bytes_[position_] << 8 | bytes_[position_ + 1]);
    position_ += 2;
    return v;
  }
  uint32_t u32be() {
    if (!Has(4)) return 0;
    const auto* p = bytes_.data() + position_;
    position_ += 4;
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
  }
  int32_t i32le() { return static_cast<int32_t>(u32le()); }

  bool skip(std::size_t count) {
    if (!Has(count)) return false;
    position_ += count;
    return true;
  }
  bool seek(std::size_t offset) {
    if (!ok_ || offset > bytes_.size()) return ok_ = false;
    position_ = offset;
    return true;
  }
  // The next count bytes (empty and failed when fewer remain).
  std::span<const uint8_t> take(std::size_t count) {
    if (!Has(count)) return {};
    const auto part = bytes_.subspan(position_, count);
    position_ += count;
    return part;
  }

 private:
  bool Has(std::size_t count) {
    if (ok_ && count <= bytes_.size() - position_) return true;
    ok_ = false;
    return false;
  }

  std::span<const uint8_t> bytes_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

}  // namespace imaging
