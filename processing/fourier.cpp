// The discrete Fourier transform.
#include "processing/fourier.hpp"

#include <fftw3.h>

#include <map>
#include <mutex>

namespace processing {
namespace {

fftw_complex* as_fftw(std::complex<double>* p) { return reinterpret_cast<fftw_complex*>(p); }

// FFTW's planner keeps state of its own: plans are made one at a time, each size once, and
// given back with the planner's state when the program ends.
class Plans {
 public:
  ~Plans() {
    for (const auto& [size, plan] : plans_) fftw_destroy_plan(plan);
    fftw_cleanup();
  }

  fftw_plan for_size(std::size_t n) {
    const std::lock_guard<std::mutex> one(planning_);
    const auto found = plans_.find(n);
    if (found != plans_.end()) return found->second;
    // Estimated, not measured: measuring would cost more than the transforms of a run.
    ComplexPoints scratch(n);
    const fftw_plan plan = fftw_plan_dft_1d(static_cast<int>(n), as_fftw(scratch.data()), as_fftw(scratch.data()),
                                            FFTW_FORWARD, FFTW_ESTIMATE);
    if (plan) plans_.emplace(n, plan);
    return plan;
  }

 private:
  std::mutex planning_;
  std::map<std::size_t, fftw_plan> plans_;
};

fftw_plan plan_for(std::size_t n) {
  static Plans plans;
  return plans.for_size(n);
}

}  // namespace

ComplexPoints::ComplexPoints(std::size_t n)
    : size_(n), data_(static_cast<std::complex<double>*>(platform::allocate_large(n * sizeof(std::complex<double>)))) {
  for (std::size_t i = 0; i < n; ++i) data_[i] = 0;
}

bool forward_transform(ComplexPoints& points) {
  const fftw_plan plan = plan_for(points.size());
  if (!plan) return false;
  // Every buffer is aligned to 64 bytes, as the plan's was.
  fftw_execute_dft(plan, as_fftw(points.data()), as_fftw(points.data()));
  return true;
}

}  // namespace processing
