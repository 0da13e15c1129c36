// A dataset's spectrum as a trace, ready to draw, to hear and to read peaks from: from its
// processed spectrum, or from its FID.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.hpp"

namespace spectrum {

enum class Axis { Ppm, Hz };

// The spectrum reduced to the columns of a plot: each column the lowest and the highest
// intensity of the points that fall into it, so that no peak is lost between columns, and
// where on the axis its highest point lies. The picture, the audio graph and the peaks
// are all made from it.
struct Trace {
  struct Column {
    double low = 0;
    double high = 0;
    double at = 0;  // the axis value (ppm or Hz) of the column's highest point
  };
  std::vector<Column> columns;  // from the left of the plot to the right
  double left = 0;              // the axis value at the left edge: the highest ppm (or Hz)
  double right = 0;             // at the right edge
  Axis axis = Axis::Ppm;
  std::string title;            // the first line of the dataset's title
  std::string nucleus;          // "1H", from NUC1; empty when unknown
};

// Where a dataset's spectrum comes from.
struct Sources {
  std::string processed;  // the dataset's processed folder, "FOLDER/pdata/1/"; empty: none
  std::string fid;        // its FID (the scratch copy)
  std::string acqus;      // its acquisition parameters (the scratch copy)
  std::string title;      // its title (the scratch copy)
};

// The processed spectrum when the folder holds 1r and a procs that says how to read it
// (SI, BYTORDP, DTYPP, NC_proc, OFFSET, SW_p, SF): its points from OFFSET ppm down to
// OFFSET - SW_p / SF. Otherwise the magnitude of the Fourier transform of the FID's
// complex points behind its lead-in, at most the first 65536 of them, in ppm when acqus
// gives SW_h, O1 and BF1, else in Hz from the carrier. Nothing when neither has a point.
std::optional<Trace> read_trace(platform::FileSystem& files, const Sources& sources, std::size_t columns);

}  // namespace spectrum
