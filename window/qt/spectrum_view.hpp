// The spectrum under the form: drawn at the view's own width in the desktop's colours,
// zoomed and panned by wheel, drag and keys, with a playhead where the sound has got to.
#pragma once

#include <QPixmap>
#include <QRectF>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <string>

#include "platform/media.hpp"
#include "sound/wave_envelope.hpp"
#include "spectrum/trace.hpp"
#include "window/form.hpp"

namespace window {

class SpectrumView : public QWidget {
  Q_OBJECT
 public:
  SpectrumView(QWidget* parent, Form& form, const platform::Media& media);

  // The form's spectrum, its region or its step changed: drawn and described anew (a
  // screen reader hears the description once for each change).
  void refresh();
  // What the playhead follows while a sound plays: the FID (its envelope in a strip above
  // the spectrum), a sweep from the left of a range of the axis to its right, or nothing.
  void follow_fid(sound::Envelope envelope);
  void follow_sweep(const spectrum::Range& range);
  void follow_nothing();

  // The spectrum as it was last drawn, at the view's width; nothing without one.
  const std::optional<spectrum::Trace>& drawn() const { return trace_; }

  // Keys with the view focused: + (or =) and - zoom in and out, Left and Right pan, Home
  // shows the whole spectrum.
  static constexpr double kZoomStep = 2;
  static constexpr double kPanStep = 0.25;
  static constexpr double kWheelStep = 1.25;  // for each notch of the wheel

 signals:
  void pictureAsked();  // the context menu's "Save picture..."

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // Where each part stands: the FID's strip (empty while it does not play), the marks'
  // labels, the plot and the axis's labels under it; laid out anew with each drawing.
  struct Areas {
    QRectF strip, labels, plot;
    double axisTop = 0;
  };
  Areas laid_out() const;
  // The axis value at x and the x of a value, in the spectrum as drawn.
  double value_at(double x) const;
  double x_of(double value) const;
  // Draws everything but the playhead and the selection into the cache.
  void draw();
  void draw_fid(QPainter& p, const QRectF& strip) const;
  void draw_trace(QPainter& p, const QRectF& plot) const;
  void draw_axis(QPainter& p, const QRectF& plot, double axisTop) const;
  void draw_marks(QPainter& p, const QRectF& plot, const QRectF& labels) const;
  // Each multiplet's running integral over its lines, its protons under the axis; not
  // where the region is narrower than a multiplet.
  void draw_integrals(QPainter& p, const QRectF& plot, double axisTop) const;
  void changed(bool regionChanged);
  void tick();

  Form& form_;
  const platform::Media& media_;
  std::optional<spectrum::Trace> trace_;
  QPixmap cache_;
  Areas areas_;
  std::string description_;
  QTimer timer_;
  enum class Following { Nothing, Fid, Sweep } following_ = Following::Nothing;
  sound::Envelope envelope_;
  spectrum::Range sweep_;
  std::optional<double> dragFrom_, dragTo_;
};

}  // namespace window
