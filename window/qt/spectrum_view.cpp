// The spectrum under the form.
#include "window/qt/spectrum_view.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/report.hpp"
#include "platform/text.hpp"
#include "spectrum/drawing.hpp"
#include "spectrum/hearing.hpp"
#include "spectrum/integral_curves.hpp"
#include "window/qt/report_panel.hpp"
#include "window/status.hpp"

namespace window {
namespace {

constexpr int kMargin = 8;
constexpr int kStripHeight = 36;  // the FID's, while it plays
constexpr int kTick = 4;
constexpr int kLeastDrag = 3;  // pixels: less is a click
constexpr double kCurvesShare = 0.35;  // of the plot's height: the largest integral's curve
constexpr double kCurvesLift = 0.06;   // above the plot's bottom

// Screen readers take the view for a chart.
QAccessibleInterface* chart_of(const QString&, QObject* object) {
  if (auto* view = qobject_cast<SpectrumView*>(object)) return new QAccessibleWidget(view, QAccessible::Chart);
  return nullptr;
}

QString text_of(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

SpectrumView::SpectrumView(QWidget* parent, Form& form, const platform::Media& media)
    : QWidget(parent), form_(form), media_(media) {
  static const bool factory = (QAccessible::installFactory(chart_of), true);
  (void)factory;
  setObjectName(QStringLiteral("SpectrumView"));
  setAccessibleName(QStringLiteral("Spectrum"));
  setToolTip(QStringLiteral("The spectrum: the wheel or a drag zooms; with the view focused, + and - zoom, Left and "
                            "Right move, Home shows it whole. \"hear Spectrum\" plays the part shown."));
  setAttribute(Qt::WA_OpaquePaintEvent);
  timer_.setInterval(33);
  connect(&timer_, &QTimer::timeout, this, &SpectrumView::tick);
  refresh();
}

SpectrumView::Areas SpectrumView::laid_out() const {
  const double line = fontMetrics().height();
  Areas a;
  const double stripHeight = following_ == Following::Fid ? kStripHeight : 0;
  a.strip = QRectF(kMargin, kMargin, width() - 2 * kMargin, stripHeight);
  // The labels stand on end, as long as the longest is wide, and clear of their marks.
  const double labelsTop = a.strip.bottom() + (stripHeight > 0 ? kMargin : 0);
  const double labelsHeight = std::min(fontMetrics().horizontalAdvance(QStringLiteral("00.00 dddd 10H")) + 8.0,
                                       (height() - labelsTop) / 3);
  a.labels = QRectF(kMargin, labelsTop, width() - 2 * kMargin, labelsHeight);
  // Under the axis's labels, the multiplets' protons.
  const double rows = form_.multiplets().empty() ? 1 : 2;
  a.axisTop = height() - kMargin / 2.0 - rows * line - kTick;
  a.plot = QRectF(kMargin, a.labels.bottom(), width() - 2 * kMargin, std::max(1.0, a.axisTop - a.labels.bottom()));
  return a;
}

double SpectrumView::value_at(double x) const {
  const double f = std::clamp((x - areas_.plot.left()) / areas_.plot.width(), 0.0, 1.0);
  return trace_->left - f * (trace_->left - trace_->right);
}

double SpectrumView::x_of(double value) const {
  return areas_.plot.left() + (trace_->left - value) / (trace_->left - trace_->right) * areas_.plot.width();
}

void SpectrumView::refresh() {
  const bool shown = form_.region().has_value();
  // Without a spectrum there is nothing to explore: the form's tab order stays its own.
  setFocusPolicy(shown ? Qt::StrongFocus : Qt::NoFocus);
  draw();
  const std::string description = view_description(form_);
  if (description != description_) {
    description_ = description;
    setAccessibleDescription(text_of(description));
  }
  update();
}

void SpectrumView::changed(bool regionChanged) {
  if (regionChanged) refresh();
}

void SpectrumView::follow_fid(sound::Envelope envelope) {
  envelope_ = std::move(envelope);
  following_ = Following::Fid;
  draw();
  update();
  timer_.start();
}

void SpectrumView::follow_sweep(const spectrum::Range& range) {
  const bool fid = following_ == Following::Fid;
  sweep_ = range;
  following_ = Following::Sweep;
  if (fid) draw();
  update();
  timer_.start();
}

void SpectrumView::follow_nothing() {
  if (following_ == Following::Nothing) return;
  const bool fid = following_ == Following::Fid;
  following_ = Following::Nothing;
  envelope_ = {};
  timer_.stop();
  if (fid) draw();
  update();
}

void SpectrumView::tick() {
  if (!media_.playing()) {
    follow_nothing();
    return;
  }
  update();
}

void SpectrumView::draw() {
  const qreal ratio = devicePixelRatioF();
  cache_ = QPixmap((QSizeF(size()) * ratio).toSize());
  cache_.setDevicePixelRatio(ratio);
  cache_.fill(palette().color(QPalette::Base));
  QPainter p(&cache_);
  p.setFont(font());  // a painter on a pixmap would take the application's
  p.setRenderHint(QPainter::Antialiasing, false);
  areas_ = laid_out();
  const Areas& a = areas_;
  trace_.reset();
  if (form_.spectrum() && form_.region() && a.plot.width() >= 2) {
    // A column of the spectrum for each pixel of the screen.
    const auto columns = static_cast<std::size_t>(std::lround(a.plot.width() * ratio));
    trace_ = spectrum::trace_of(*form_.spectrum(), columns, *form_.region());
  }
  if (!trace_) {
    p.setPen(palette().color(QPalette::Text));
    p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, QString::fromUtf8(kNoSpectrumDescription));
    return;
  }
  if (following_ == Following::Fid) draw_fid(p, a.strip);
  draw_marks(p, a.plot, a.labels);
  draw_trace(p, a.plot);
  draw_integrals(p, a.plot, a.axisTop);
  draw_axis(p, a.plot, a.axisTop);
}

void SpectrumView::draw_integrals(QPainter& p, const QRectF& plot, double axisTop) const {
  const std::vector<std::size_t> shown = form_.shown();
  if (form_.multiplets().empty() || shown.empty()) return;
  // Zoomed into one multiplet, its curve would only hide its lines.
  double widest = 0;
  for (const std::size_t i : shown) {
    const analysis::Multiplet& m = form_.multiplets()[i];
    if (m.to > m.from) {
      widest = std::max(widest, std::abs(form_.spectrum()->axis_at(static_cast<double>(m.from)) -
                                         form_.spectrum()->axis_at(static_cast<double>(m.to - 1))));
    }
  }
  if (form_.region()->width() < widest) return;
  const QColor ink = palette().color(QPalette::Link);
  p.setPen(QPen(ink, 0));
  const double base = plot.bottom() - kCurvesLift * plot.height(), rise = kCurvesShare * plot.height();
  const QFontMetricsF metrics(font());
  double lastRight = -1e9;
  for (const spectrum::IntegralCurve& c :
       spectrum::integral_curves(*form_.spectrum(), form_.multiplets(), static_cast<std::size_t>(plot.width()))) {
    if (!form_.region()->holds(c.at)) continue;
    QPolygonF curve;
    for (const auto& [at, share] : c.points) {
      if (form_.region()->holds(at)) curve << QPointF(x_of(at), base - share * rise);
    }
    p.drawPolyline(curve);
    // Its protons under the axis's labels, where they do not crowd the one before.
    const QString protons = QStringLiteral("%1H").arg(c.protons);
    const double w = metrics.horizontalAdvance(protons), x = x_of(c.at) - w / 2;
    if (x < lastRight + metrics.horizontalAdvance(QStringLiteral(" "))) continue;
    lastRight = x + w;
    p.drawText(QRectF(x, axisTop + kTick + metrics.height(), w, metrics.height()), Qt::AlignCenter, protons);
  }
}

void SpectrumView::draw_fid(QPainter& p, const QRectF& strip) const {
  p.setPen(QPen(palette().color(QPalette::Mid), 0));
  p.drawRect(strip);
  const std::size_t n = envelope_.low.size();
  if (n == 0) return;
  p.setPen(QPen(palette().color(QPalette::Text), 0));
  const double middle = strip.center().y(), half = strip.height() / 2 - 1;
  std::vector<QLineF> lines;
  lines.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double x = strip.left() + (static_cast<double>(i) + 0.5) * strip.width() / static_cast<double>(n);
    lines.emplace_back(x, middle - envelope_.high[i] / 32768.0 * half, x, middle - envelope_.low[i] / 32768.0 * half);
  }
  p.drawLines(lines.data(), static_cast<int>(lines.size()));
}

void SpectrumView::draw_trace(QPainter& p, const QRectF& plot) const {
  const spectrum::Scale scale = spectrum::scale_of(*trace_);
  const double top = plot.top() + 2, height = plot.bottom() - top;
  const auto y = [&](double v) { return plot.bottom() - (v - scale.bottom) / (scale.top - scale.bottom) * height; };
  const auto& columns = trace_->columns;
  std::vector<QLineF> lines;
  lines.reserve(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    // Each column reaches its neighbour's, so that a steep side is not broken.
    double low = columns[i].low, high = columns[i].high;
    if (i > 0) low = std::min(low, columns[i - 1].high), high = std::max(high, columns[i - 1].low);
    const double x = plot.left() + (static_cast<double>(i) + 0.5) * plot.width() / static_cast<double>(columns.size());
    lines.emplace_back(x, y(high), x, y(low));
  }
  p.setPen(QPen(palette().color(QPalette::Text), 0));
  p.drawLines(lines.data(), static_cast<int>(lines.size()));
}

void SpectrumView::draw_axis(QPainter& p, const QRectF& plot, double axisTop) const {
  const QColor ink = palette().color(QPalette::Text);
  p.setPen(QPen(ink, 0));
  p.drawLine(QPointF(plot.left(), axisTop), QPointF(plot.right(), axisTop));
  const QString unit = trace_->axis == spectrum::Axis::Ppm ? QStringLiteral("ppm") : QStringLiteral("Hz");
  const QFontMetricsF metrics(font());
  const QRectF unitBox(plot.right() - metrics.horizontalAdvance(unit), axisTop + kTick, metrics.horizontalAdvance(unit),
                       metrics.height());
  p.drawText(unitBox, Qt::AlignRight, unit);
  const spectrum::Ticks ticks = spectrum::ticks_of(*trace_);
  for (const double value : ticks.values) {
    const double x = x_of(value);
    p.drawLine(QPointF(x, axisTop), QPointF(x, axisTop + kTick));
    const QString label = text_of(platform::fixed_text(value, ticks.decimals));
    const double w = metrics.horizontalAdvance(label);
    const QRectF box(std::clamp(x - w / 2, plot.left(), plot.right() - w), axisTop + kTick, w, metrics.height());
    if (!box.intersects(unitBox)) p.drawText(box, Qt::AlignCenter, label);
  }
}

void SpectrumView::draw_marks(QPainter& p, const QRectF& plot, const QRectF& labels) const {
  const bool multiplets = !form_.multiplets().empty();
  const auto& stepped = form_.stepped();
  const double room = QFontMetricsF(font()).height();
  // The multiplet stepped to first, so that its label always shows; the others where
  // they do not crowd a label already placed.
  std::vector<std::size_t> order = form_.shown();
  if (stepped) {
    const auto at = std::find(order.begin(), order.end(), *stepped);
    if (at != order.end()) std::rotate(order.begin(), at, at + 1);
  }
  std::vector<double> placed;
  for (const std::size_t i : order) {
    const bool current = stepped && *stepped == i;
    QColor ink = palette().color(current ? QPalette::Highlight : QPalette::Text);
    std::string text;
    if (multiplets) {
      const analysis::Multiplet& m = form_.multiplets()[i];
      text = analysis::mark_text(m, trace_->axis == spectrum::Axis::Ppm);
      if (current) {
        // Its lines' stretch, in the highlight's colour.
        const spectrum::Range band = spectrum::multiplet_sweep(*form_.spectrum(), m);
        QColor fill = ink;
        fill.setAlpha(56);
        p.fillRect(QRectF(QPointF(std::max(plot.left(), x_of(band.left)), plot.top()),
                          QPointF(std::min(plot.right(), x_of(band.right)), plot.bottom())),
                   fill);
      }
    } else {
      text = platform::fixed_text(form_.peaks()[i].at, trace_->axis == spectrum::Axis::Ppm ? 2 : 1);
    }
    const double x = x_of(form_.position_of(i));
    if (std::any_of(placed.begin(), placed.end(), [&](double other) { return std::fabs(other - x) < room; })) continue;
    placed.push_back(x);
    p.setPen(QPen(ink, 0));
    p.drawLine(QPointF(x, labels.bottom() - 2), QPointF(x, plot.top() + 2));
    // On end, read from the bottom up, its foot clear of the mark.
    p.save();
    p.translate(x + room / 2 - QFontMetricsF(font()).descent(), labels.bottom() - 8);
    p.rotate(-90);
    QFont f = font();
    f.setBold(current);
    p.setFont(f);  // restored with the rest
    p.drawText(QRectF(0, -room, labels.height() - 8, room), Qt::AlignLeft | Qt::AlignBottom, text_of(text));
    p.restore();
  }
}

void SpectrumView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, cache_);
  if (!trace_) return;
  const Areas& a = areas_;
  const QColor highlight = palette().color(QPalette::Highlight);
  if (dragFrom_ && dragTo_) {
    QColor fill = highlight;
    fill.setAlpha(72);
    p.fillRect(QRectF(QPointF(std::min(*dragFrom_, *dragTo_), a.plot.top()), QPointF(std::max(*dragFrom_, *dragTo_), a.plot.bottom())),
               fill);
  }
  const auto playback = following_ != Following::Nothing ? media_.playing() : std::nullopt;
  if (playback && playback->length > 0) {
    const double f = std::clamp(playback->played / playback->length, 0.0, 1.0);
    p.setPen(QPen(highlight, 2));
    if (following_ == Following::Fid) {
      const double x = a.strip.left() + f * a.strip.width();
      p.drawLine(QPointF(x, a.strip.top()), QPointF(x, a.strip.bottom()));
    } else {
      const double value = sweep_.left - f * sweep_.width();
      const double x = x_of(value);
      if (x >= a.plot.left() && x <= a.plot.right()) p.drawLine(QPointF(x, a.plot.top()), QPointF(x, a.plot.bottom()));
    }
  }
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(1, 1, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
  }
}

void SpectrumView::resizeEvent(QResizeEvent*) { refresh(); }

void SpectrumView::changeEvent(QEvent* event) {
  // A new theme or font: drawn in its colours.
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) refresh();
  QWidget::changeEvent(event);
}

void SpectrumView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy) && !form_.report().text.empty()) return copy_report(form_.report());
  if (!trace_) return QWidget::keyPressEvent(event);
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      return changed(form_.zoom(kZoomStep));
    case Qt::Key_Minus:
      return changed(form_.zoom(1 / kZoomStep));
    case Qt::Key_Left:
      return changed(form_.pan(-kPanStep));
    case Qt::Key_Right:
      return changed(form_.pan(kPanStep));
    case Qt::Key_Home:
      return changed(form_.whole() && form_.show(*form_.whole()));
    default:
      return QWidget::keyPressEvent(event);
  }
}

void SpectrumView::contextMenuEvent(QContextMenuEvent* event) {
  if (!trace_) return;
  QMenu menu(this);
  if (!form_.report().text.empty()) {
    menu.addAction(QStringLiteral("Copy report"), QKeySequence::Copy, this, [this] { copy_report(form_.report()); });
  }
  menu.addAction(QStringLiteral("Save picture..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                 &SpectrumView::pictureAsked);
  menu.exec(event->globalPos());
}

void SpectrumView::wheelEvent(QWheelEvent* event) {
  if (!trace_) return event->ignore();
  const double notches = event->angleDelta().y() / 120.0;
  if (notches != 0) changed(form_.zoom_at(std::pow(kWheelStep, notches), value_at(event->position().x())));
  event->accept();
}

void SpectrumView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && trace_) dragFrom_ = event->position().x();
  QWidget::mousePressEvent(event);
}

void SpectrumView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragFrom_) return;
  dragTo_ = std::clamp(event->position().x(), areas_.plot.left(), areas_.plot.right());
  update();
}

void SpectrumView::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragFrom_ || event->button() != Qt::LeftButton) return;
  const double from = *dragFrom_, to = std::clamp(event->position().x(), areas_.plot.left(), areas_.plot.right());
  dragFrom_.reset();
  dragTo_.reset();
  update();
  if (std::fabs(to - from) >= kLeastDrag) {
    changed(form_.show({value_at(std::min(from, to)), value_at(std::max(from, to))}));
  }
}

void SpectrumView::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void SpectrumView::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

}  // namespace window
