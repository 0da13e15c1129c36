// Which maker wrote a data file, told by its content, and the reader for it.
#pragma once

#include "formats/dataset.hpp"
#include "formats/source.hpp"

namespace formats {

// Asked in a fixed order, the most specific mark first: JEOL's "JEOL.NMR", Spinsolve's
// "DATA", a JCAMP-DX opening, a VnmrJ header whose sizes add up to the file's length
// beside a procpar. Anything else is Bruker's, read as it always was.
Maker maker_of(Source& source);

// The reader of that maker's files; Bruker's are not converted, and refused here.
Reading read_dataset(Maker maker, Source& source, PointSink& sink);

}  // namespace formats
