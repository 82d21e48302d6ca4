#include "bgl/BufferedFile.h"

#include <algorithm>
#include <cstring>

#include "platform/Errors.h"

namespace qor {

namespace {

// A small file is its own window; a large one is seen through kWindowSize bytes of it.
std::size_t WindowCapacity(std::uint64_t size) {
  return size <= BufferedFile::kWholeFileLimit ? static_cast<std::size_t>(size)
                                               : BufferedFile::kWindowSize;
}

}  // namespace

BufferedFile::BufferedFile(std::unique_ptr<platform::File> file)
    : file_(std::move(file)), size_(file_->Size()), capacity_(WindowCapacity(size_)) {}

BufferedFile::BufferedFile(std::unique_ptr<platform::File> file, std::uint64_t size,
                           Reading reading)
    : file_(std::move(file)),
      size_(size),
      sparse_(reading == Reading::Sparse),
      capacity_(sparse_ ? kFirstSparseWindow : WindowCapacity(size)) {}

void BufferedFile::Load(std::uint64_t offset) {
  const std::uint64_t start = sparse_ || size_ > kWholeFileLimit ? offset : 0;
  // Never past the size seen at opening: what another program appends since is not ours.
  const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(capacity_, size_ - start));
  windowStart_ = start;
  const std::size_t got = file_->ReadAt(start, window_.Reset(want), want);
  window_.SetSize(got);
  if (sparse_) capacity_ = std::min(2 * capacity_, kWindowSize);
}

void BufferedFile::Prefetch(std::uint64_t offset, std::uint64_t n) {
  if (n == 0 || n > kPrefetchLimit || offset > size_ || n > size_ - offset) return;
  if (Held(offset, static_cast<std::size_t>(n)) != nullptr) return;
  const auto want = static_cast<std::size_t>(n);
  windowStart_ = offset;
  window_.SetSize(file_->ReadAt(offset, window_.Reset(want), want));
}

bool BufferedFile::Read(std::uint64_t offset, void* out, std::size_t n) {
  if (offset > size_ || n > size_ - offset) return false;
  const unsigned char* p = Held(offset, n);
  if (p == nullptr) {
    if (n > capacity_) return file_->ReadAt(offset, out, n) == n;
    Load(offset);
    p = Held(offset, n);
    if (p == nullptr) return false;  // the file shrank behind our back
  }
  std::memcpy(out, p, n);
  return true;
}

void BufferedFile::ReadOrFail(std::uint64_t offset, void* out, std::size_t n) {
  if (!Read(offset, out, n)) throw EReadBeyondEnd();
}

const unsigned char* BufferedFile::BytesSlow(std::uint64_t offset, std::size_t n) {
  if (sparse_ && n > capacity_) capacity_ = std::min(kWindowSize, n);
  if (offset > size_ || n > size_ - offset || n > capacity_) return nullptr;
  static constexpr unsigned char kNothing = 0;
  if (n == 0) return &kNothing;  // no byte to hold: any valid pointer does
  Load(offset);
  return Held(offset, n);  // null: the file shrank meanwhile
}

int BufferedFile::ByteAtSlow(std::uint64_t offset) {
  if (offset >= size_) return -1;
  Load(offset);
  const unsigned char* p = Held(offset, 1);
  return p == nullptr ? -1 : *p;
}

void BufferedFile::Write(std::uint64_t offset, const void* data, std::size_t n) {
  file_->WriteAt(offset, data, n);
  // Keep the window true for the bytes it holds.
  const std::uint64_t begin = std::max(offset, windowStart_);
  const std::uint64_t end = std::min(offset + n, windowStart_ + window_.size());
  if (begin < end) {
    std::memcpy(window_.data() + (begin - windowStart_),
                static_cast<const unsigned char*>(data) + (begin - offset), end - begin);
  }
  size_ = std::max(size_, offset + n);
}

}  // namespace qor
