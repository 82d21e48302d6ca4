#include "bgl/BufferedFile.h"

#include <algorithm>
#include <cstring>

#include "platform/Errors.h"

namespace qor {

BufferedFile::BufferedFile(std::unique_ptr<platform::File> file)
    : file_(std::move(file)), size_(file_->Size()) {}

void BufferedFile::Load(std::uint64_t offset) {
  // Never past the size seen at opening: what another program appends since is not ours.
  const std::size_t want =
      offset < size_
          ? static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, size_ - offset))
          : 0;
  windowStart_ = offset;
  const std::size_t got = file_->ReadAt(offset, window_.Reset(), want);
  window_.SetSize(got);
}

bool BufferedFile::Read(std::uint64_t offset, void* out, std::size_t n) {
  if (offset > size_ || n > size_ - offset) return false;
  if (offset < windowStart_ || offset + n > windowStart_ + window_.size()) {
    if (n > kWindowSize) return file_->ReadAt(offset, out, n) == n;
    Load(offset);
    if (window_.size() < n) return false;  // the file shrank behind our back
  }
  std::memcpy(out, window_.data() + (offset - windowStart_), n);
  return true;
}

void BufferedFile::ReadOrFail(std::uint64_t offset, void* out, std::size_t n) {
  if (!Read(offset, out, n)) throw EInOutError(kReadBeyondEnd);
}

const unsigned char* BufferedFile::BytesSlow(std::uint64_t offset, std::size_t n) {
  if (offset > size_ || n > size_ - offset || n > kWindowSize) return nullptr;
  Load(offset);
  return window_.size() < n ? nullptr : window_.data();  // shorter: the file shrank meanwhile
}

int BufferedFile::ByteAtSlow(std::uint64_t offset) {
  if (offset >= size_) return -1;
  Load(offset);
  return window_.empty() ? -1 : window_[0];
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
