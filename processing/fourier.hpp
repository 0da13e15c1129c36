// The discrete Fourier transform of complex points, FFTW's, with its plans made once.
#pragma once

#include <complex>
#include <cstddef>
#include <memory>

#include "platform/large_memory.hpp"

namespace processing {

// Complex points in memory aligned as FFTW's fastest plans need it.
class ComplexPoints {
 public:
  explicit ComplexPoints(std::size_t n);  // all zero
  std::size_t size() const { return size_; }
  std::complex<double>* data() { return data_.get(); }
  const std::complex<double>* data() const { return data_.get(); }
  std::complex<double>& operator[](std::size_t i) { return data_[i]; }
  const std::complex<double>& operator[](std::size_t i) const { return data_[i]; }

 private:
  struct Free {
    void operator()(std::complex<double>* p) const { platform::free_large(p); }
  };
  std::size_t size_;
  std::unique_ptr<std::complex<double>[], Free> data_;
};

// The forward transform (exp(-2 pi i k n / N)), in place. The plan for each size is made on
// its first use and kept for the program's life; making one is serialised, running them
// is not. False, and the points untouched, when FFTW can make no plan for the size.
[[nodiscard]] bool forward_transform(ComplexPoints& points);

}  // namespace processing
