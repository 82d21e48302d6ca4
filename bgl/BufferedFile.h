#pragma once
// The open BGL file as the reader sees it: positioned reads served from a window of the file
// held in memory, refilled only when a read falls outside it, so that reading field after field
// costs no system call per field. A small file is its own window, read in one go at the first
// read (its tables lie at both ends and in between); a large one is never held whole. Writes go
// straight to the file and patch the window, so that what is read afterwards is what the file
// holds.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/File.h"

namespace qor {

// The little-endian unsigned integer of sizeof(T) bytes at p.
template <typename T>
T LittleEndian(const unsigned char* p) {
  if constexpr (std::endian::native == std::endian::little) {
    T v;
    std::memcpy(&v, p, sizeof v);  // one load on the machines that store integers so
    return v;
  } else {
    std::uint64_t v = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) v = (v << 8) | p[i];
    return static_cast<T>(v);
  }
}

class BufferedFile {
 public:
  // The window of a large file; the reads of Bytes are at most this long.
  static constexpr std::size_t kWindowSize = 64 * 1024;
  // Files up to this size are held whole.
  static constexpr std::uint64_t kWholeFileLimit = 1024 * 1024;

  // The first window of a file read sparsely, enough for the header and a short section
  // directory; each later one is twice as large, up to kWindowSize.
  static constexpr std::size_t kFirstSparseWindow = 512;
  // The most that Prefetch holds at once.
  static constexpr std::uint64_t kPrefetchLimit = 16 * 1024 * 1024;

  // Whole: a small file is read whole at the first read, for a reader that walks all of it.
  // Sparse: only the parts read are, for a reader that takes a few tables of many files.
  enum class Reading { Whole, Sparse };

  explicit BufferedFile(std::unique_ptr<platform::File> file);
  // The same, with the size the caller has just taken from the open file.
  BufferedFile(std::unique_ptr<platform::File> file, std::uint64_t size,
               Reading reading = Reading::Whole);

  // Holds the n bytes at offset in the window with one read, when they lie in the file and
  // n is at most kPrefetchLimit: a table's records, read together before they are walked.
  void Prefetch(std::uint64_t offset, std::uint64_t n);

  // The size of the file when it was opened.
  std::uint64_t Size() const { return size_; }
  const std::string& Path() const { return file_->Path(); }

  // Copies the n bytes at offset into out; false (nothing copied) when the file ends first.
  bool Read(std::uint64_t offset, void* out, std::size_t n);
  // The byte at offset, or -1 past the end of the file.
  int ByteAt(std::uint64_t offset) {
    if (offset - windowStart_ < window_.size()) return window_[offset - windowStart_];
    return ByteAtSlow(offset);
  }
  // The little-endian unsigned integer of sizeof(T) bytes at offset. Raises the end-of-file
  // error when the file ends first.
  template <typename T>
  T Get(std::uint64_t offset) {
    const std::uint64_t at = offset - windowStart_;
    const unsigned char* p = nullptr;
    unsigned char bytes[sizeof(T)];
    if (at < window_.size() && window_.size() - at >= sizeof(T)) {
      p = window_.data() + at;
    } else {
      ReadOrFail(offset, bytes, sizeof(T));
      p = bytes;
    }
    return LittleEndian<T>(p);
  }
  // The n bytes at offset (n at most kWindowSize) as the window holds them, valid until the
  // next read; nothing when the file ends first.
  const unsigned char* Bytes(std::uint64_t offset, std::size_t n) {
    if (const unsigned char* p = Held(offset, n)) return p;
    return BytesSlow(offset, n);
  }
  // The bytes from offset on that the window holds, at most n of them, loading the window there
  // when it does not hold offset; empty at and past the end of the file.
  std::string_view Span(std::uint64_t offset, std::size_t n) {
    if (offset - windowStart_ >= window_.size()) {
      if (offset >= size_) return {};
      Load(offset);
      if (offset - windowStart_ >= window_.size()) return {};  // the file shrank meanwhile
    }
    const std::size_t at = static_cast<std::size_t>(offset - windowStart_);
    return std::string_view(reinterpret_cast<const char*>(window_.data()) + at,
                            std::min(n, window_.size() - at));
  }
  // Writes n bytes at offset through to the file.
  void Write(std::uint64_t offset, const void* data, std::size_t n);

  platform::File& Raw() { return *file_; }

 private:
  int ByteAtSlow(std::uint64_t offset);
  void ReadOrFail(std::uint64_t offset, void* out, std::size_t n);
  const unsigned char* BytesSlow(std::uint64_t offset, std::size_t n);
  // Loads the window over offset (offset below the size): from offset on, or the whole file.
  void Load(std::uint64_t offset);
  // The n bytes at offset in the window; null when it does not hold them all.
  const unsigned char* Held(std::uint64_t offset, std::size_t n) {
    const std::uint64_t at = offset - windowStart_;
    if (at < window_.size() && window_.size() - at >= n) return window_.data() + at;
    return nullptr;
  }

  std::unique_ptr<platform::File> file_;
  std::uint64_t size_;
  bool sparse_ = false;
  std::size_t capacity_;  // what the next load reads at most
  std::uint64_t windowStart_ = 0;
  // The window's bytes: allocated once, never cleared, since every load overwrites them.
  class Window {
   public:
    unsigned char* data() { return bytes_.get(); }
    const unsigned char* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    unsigned char operator[](std::size_t i) const { return bytes_[i]; }
    // Room for capacity bytes, of which none counts yet; allocated again only to grow.
    unsigned char* Reset(std::size_t capacity) {
      if (!bytes_ || capacity > allocated_) {
        bytes_ = std::make_unique_for_overwrite<unsigned char[]>(capacity);
        allocated_ = capacity;
      }
      size_ = 0;
      return bytes_.get();
    }
    void SetSize(std::size_t size) { size_ = size; }

   private:
    std::unique_ptr<unsigned char[]> bytes_;
    std::size_t allocated_ = 0;
    std::size_t size_ = 0;
  };
  Window window_;
};

}  // namespace qor
