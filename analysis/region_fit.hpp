// A stretch of a spectrum fitted as a sum of multiplets, each a tree of couplings on lines
// of its own width, by least squares (Levenberg and Marquardt's method).
#pragma once

#include <cstddef>
#include <vector>

#include "analysis/coupling_tree.hpp"
#include "processing/spectrum.hpp"

namespace analysis {

// One multiplet of the model: its centre and couplings in Hz, its area (intensity times
// Hz) and its lines' full width at half height. A loose line is a line of its own that no
// tree of couplings holds: part of what is named "m". A reference line (TMS's, the
// solvent's) is fitted with the rest and reported with none.
struct ModelMultiplet {
  double centreHz = 0;
  double area = 0;
  double widthHz = 1;
  std::vector<CouplingGroup> groups;
  bool loose = false;
  bool reference = false;
};

// The model of a stretch: its multiplets, on lines of one shape (the Lorentzian share of
// a pseudo-Voigt profile, a phase a little off), over a straight baseline (its offset at
// the stretch's middle, its slope per Hz).
struct RegionModel {
  std::vector<ModelMultiplet> multiplets;
  double lorentzian = 0.9;
  double phase = 0;
  double offset = 0;
  double slope = 0;
};

// The points [from, to) of a spectrum and how much each may be trusted: the noise, and a
// share of its own height for what a model of ideal lines cannot follow (a real line's
// shape, a magnet's imperfections).
class Stretch {
 public:
  Stretch(const processing::Spectrum& spectrum, std::size_t from, std::size_t to, double noise);
  // Its points between two frequencies.
  Stretch part(double highHz, double lowHz) const;
  std::size_t from() const { return from_; }
  std::size_t size() const { return hz_.size(); }
  double hz(std::size_t i) const { return hz_[i]; }
  double middle_hz() const { return hz_.empty() ? 0 : (hz_.front() + hz_.back()) / 2; }
  double y(std::size_t i) const { return y_[i]; }
  double weight(std::size_t i) const { return weight_[i]; }
  double noise() const { return noise_; }

 private:
  Stretch() = default;
  std::size_t from_ = 0;
  double noise_ = 0;
  std::vector<double> hz_, y_, weight_;
};

// What a model leaves of the stretch: the sum of its weighted squared residuals.
double chi_square(const Stretch& stretch, const RegionModel& model);

// The model's value at each point of the stretch.
std::vector<double> model_values(const Stretch& stretch, const RegionModel& model);

// Each multiplet's integral: its fitted area, and its share of what the model leaves of the
// points (the residual at each point shared out as the multiplets' values there, over
// their sum and the noise, so that where the model is small the noise stays unshared):
// what the spectrum holds there, whatever shape its lines have that the model lacks.
std::vector<double> integrals(const Stretch& stretch, const RegionModel& model, double hzPerPoint);

struct FitOptions {
  std::vector<bool> held;   // multiplets whose parameters stay as they are (none: all free)
  bool shape = true;        // fit the Lorentzian share
  bool phase = true;        // fit the phase and the baseline's slope
  int mostEvaluations = 60;
};

struct Fitted {
  RegionModel model;
  double chiSquare = 0;
  std::size_t parameters = 0;  // fitted
};

// The model refined to fit the stretch best: each free multiplet's centre, area, width
// and couplings, the shape, the phase, the baseline. Areas and widths stay positive,
// shapes between Lorentzian and Gaussian; a coupling that turns negative is taken as its
// size.
Fitted fit(const Stretch& stretch, RegionModel start, const FitOptions& options = {});

}  // namespace analysis
