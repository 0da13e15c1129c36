// Which maker wrote a data file.
#include "formats/detection.hpp"

#include "formats/jcamp_dx.hpp"
#include "formats/jeol_delta.hpp"
#include "formats/spinsolve.hpp"
#include "formats/varian_vnmrj.hpp"

namespace formats {

Maker maker_of(Source& source) {
  const std::string head = source.head(256);
  if (is_jeol_delta(head)) return Maker::JeolDelta;
  if (is_spinsolve(head)) return Maker::MagritekSpinsolve;
  if (is_jcamp_dx(head)) return Maker::JcampDx;
  if (is_varian_vnmrj(source)) return Maker::VarianVnmrj;
  return Maker::Bruker;
}

Reading read_dataset(Maker maker, Source& source, PointSink& sink) {
  switch (maker) {
    case Maker::JeolDelta: return read_jeol_delta(source, sink);
    case Maker::JcampDx: return read_jcamp_dx(source, sink);
    case Maker::VarianVnmrj: return read_varian_vnmrj(source, sink);
    case Maker::MagritekSpinsolve: return read_spinsolve(source, sink);
    case Maker::Bruker: break;
  }
  return Reading::refused("a Bruker dataset is not converted");
}

}  // namespace formats
